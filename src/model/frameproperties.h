#pragma once

#include <QColor>
#include <QObject>

#include "model/documentpart.h"

// The frame around a theme's photos. The size is a fraction of the photo's
// size; the photo items turn it into a frame width.
class FrameProperties : public QObject, public DocumentPart
{
    Q_OBJECT
    Q_PROPERTY(qreal size READ size WRITE setSize NOTIFY sizeChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    // The change signal is spelled enabledChange; connections by name use it.
    Q_PROPERTY(bool enabled READ enabled WRITE setEnabled NOTIFY enabledChange)

public:
    explicit FrameProperties(Document *document = nullptr, QObject *parent = nullptr);

    qreal size() const { return m_size; }
    QColor color() const { return m_color; }
    bool enabled() const { return m_enabled; }

public Q_SLOTS:
    void setSize(const qreal &size);
    void setColor(const QColor &color);
    void setEnabled(bool enabled);

Q_SIGNALS:
    void sizeChanged(qreal size);
    void colorChanged(const QColor &color);
    void enabledChange(bool enabled);

private:
    qreal m_size = 0.08;
    QColor m_color = Qt::white;
    bool m_enabled = true;
};
