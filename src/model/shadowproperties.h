#pragma once

#include <QColor>
#include <QObject>
#include <QPointF>

#include "model/documentpart.h"

// The drop shadow of a theme's photos. Every public setter is an undoable
// edit when the document has an undo stack; the offset is not stored but
// derived from angle and distance.
class ShadowProperties : public QObject, public DocumentPart
{
    Q_OBJECT
    Q_PROPERTY(bool enabled READ enabled WRITE setEnabled NOTIFY enabledChanged)
    Q_PROPERTY(qreal blurRadius READ blurRadius WRITE setBlurRadius NOTIFY blurRadiusChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(QPointF offset READ offset WRITE setOffset NOTIFY offsetChanged)
    Q_PROPERTY(qreal angle READ angle WRITE setAngle NOTIFY angleChanged)
    Q_PROPERTY(qreal distance READ distance WRITE setDistance NOTIFY distanceChanged)
    Q_PROPERTY(bool group READ group WRITE setGroup NOTIFY groupChanged)

public:
    explicit ShadowProperties(Document *document = nullptr, QObject *parent = nullptr);

    bool enabled() const { return m_enabled; }
    qreal blurRadius() const { return m_blurRadius; }
    QColor color() const { return m_color; }
    QPointF offset() const;
    qreal angle() const { return m_angle; }
    qreal distance() const { return m_distance; }
    bool group() const { return m_group; }

public Q_SLOTS:
    void setEnabled(bool enabled);
    void setBlurRadius(qreal blurRadius);
    void setColor(const QColor &color);
    // Pushes the distance, then (for a non-zero offset) the angle.
    void setOffset(const QPointF &offset);
    void setAngle(qreal angle);
    void setDistance(qreal distance);
    void setGroup(bool group);

Q_SIGNALS:
    void enabledChanged(bool enabled);
    void blurRadiusChanged(qreal blurRadius);
    void colorChanged(const QColor &color);
    void offsetChanged(const QPointF &offset);
    void angleChanged(qreal angle);
    void distanceChanged(qreal distance);
    void groupChanged(bool group);

private:
    void assignAngle(qreal angle);
    void assignDistance(qreal distance);

    bool m_enabled = false;
    qreal m_blurRadius = 0;
    QColor m_color = Qt::black;
    qreal m_distance = 0;
    qreal m_angle = 0;
    bool m_group = false;
};
