#pragma once

#include <QObject>
#include <QPointF>
#include <QString>

#include "model/documentpart.h"

// What text overlays and stickers share: a place on the page in fractions
// of its width and height, a rotation in degrees, a scale and an opacity.
// Owned by its document. Every public setter is an undoable edit when the
// document has an undo stack, under the undo text and command id that the
// kind gives; consecutive edits of one property merge into one step.
class PlacedProperties : public QObject, public DocumentPart
{
    Q_OBJECT
    Q_PROPERTY(QPointF position READ position WRITE setPosition NOTIFY positionChanged)
    Q_PROPERTY(qreal rotation READ rotation WRITE setRotation NOTIFY rotationChanged)
    Q_PROPERTY(qreal scale READ scale WRITE setScale NOTIFY scaleChanged)
    Q_PROPERTY(qreal opacity READ opacity WRITE setOpacity NOTIFY opacityChanged)

public:
    static constexpr qreal MinimumScale = 0.01;
    static constexpr qreal MaximumScale = 100.0;

    QPointF position() const { return m_position; }
    qreal rotation() const { return m_rotation; }
    qreal scale() const { return m_scale; }
    qreal opacity() const { return m_opacity; }

public Q_SLOTS:
    void setPosition(const QPointF &position);
    void setRotation(qreal rotation);
    void setScale(qreal scale);
    void setOpacity(qreal opacity);

Q_SIGNALS:
    void positionChanged(const QPointF &position);
    void rotationChanged(qreal rotation);
    void scaleChanged(qreal scale);
    void opacityChanged(qreal opacity);

protected:
    // The undo text of an edit is marked for translation in the kind's own
    // context and translated when the edit is made, so that it follows a
    // change of language.
    struct Edit
    {
        const char *text;
        int commandId;
    };
    struct Edits
    {
        Edit position;
        Edit rotation;
        Edit scale;
        Edit opacity;
    };

    PlacedProperties(Document *document, const Edits &edits);

private:
    QString undoText(const Edit &edit) const;

    void assignPosition(const QPointF &position);
    void assignRotation(double rotation);
    void assignScale(double scale);
    void assignOpacity(double opacity);

    const Edits m_edits;
    QPointF m_position { 0.5, 0.5 };
    qreal m_rotation = 0;
    qreal m_scale = 1.0;
    qreal m_opacity = 1.0;
};
