#pragma once

#include <QButtonGroup>

// An exclusive button group whose checked button is a bindable property:
// clicking a button makes its id current, and setting the current id
// checks the button with that id.
class ButtonGroup : public QButtonGroup
{
    Q_OBJECT
    Q_PROPERTY(int currentId READ currentId WRITE setCurrentId NOTIFY currentIdChanged)

public:
    explicit ButtonGroup(QObject *parent = nullptr);

    // -1 until an id has been set.
    int currentId() const { return m_currentId; }

public Q_SLOTS:
    void setCurrentId(int id);

Q_SIGNALS:
    void currentIdChanged(int id);

private:
    int m_currentId = -1;
    // The first setCurrentId always takes effect, whatever its id.
    bool m_hasCurrentId = false;
};
