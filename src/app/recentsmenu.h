#pragma once

#include <QList>
#include <QMenu>

class QAction;

// "Open recent": one action per recent collage above a separator and
// "Clear menu". Entries whose file has gone are shown disabled, so the user
// sees that before picking them.
class RecentsMenu : public QMenu
{
    Q_OBJECT

public:
    explicit RecentsMenu(QWidget *parent = nullptr);

    QList<QAction *> fileActions() const { return m_fileActions; }
    QAction *clearAction() const { return m_clearAction; }

public Q_SLOTS:
    void updateRecents();
    void openRecentTriggered();

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void refreshAvailability();

    QAction *m_separator = nullptr;
    QAction *m_clearAction = nullptr;
    QList<QAction *> m_fileActions;
};
