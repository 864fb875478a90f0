#pragma once

#include <QObject>
#include <QPointF>
#include <QString>
#include <QStringList>

#include "model/documentpart.h"

// A sticker picture placed on the page. Owned by its document. The path
// names an SVG or PNG file, normally one of availableStickers(); the
// position is in fractions of the page width and height. Every public
// setter is an undoable edit when the document has an undo stack;
// consecutive edits of one property merge into one step.
class StickerProperties : public QObject, public DocumentPart
{
    Q_OBJECT
    Q_PROPERTY(QString stickerPath READ stickerPath WRITE setStickerPath NOTIFY stickerPathChanged)
    Q_PROPERTY(QPointF position READ position WRITE setPosition NOTIFY positionChanged)
    Q_PROPERTY(qreal rotation READ rotation WRITE setRotation NOTIFY rotationChanged)
    Q_PROPERTY(qreal scale READ scale WRITE setScale NOTIFY scaleChanged)
    Q_PROPERTY(qreal opacity READ opacity WRITE setOpacity NOTIFY opacityChanged)

public:
    static constexpr qreal MinimumScale = 0.01;
    static constexpr qreal MaximumScale = 100.0;

    explicit StickerProperties(Document *document);

    // The sticker library: every SVG and PNG file under ":/stickers/", as
    // full resource paths in case-sensitive name order.
    static QStringList availableStickers();

    QString stickerPath() const { return m_stickerPath; }
    QPointF position() const { return m_position; }
    qreal rotation() const { return m_rotation; }
    qreal scale() const { return m_scale; }
    qreal opacity() const { return m_opacity; }

    // Another name for the sticker path, kept for callers that speak of the
    // sticker's source like that of a photo.
    QString source() const { return m_stickerPath; }

public Q_SLOTS:
    void setStickerPath(const QString &stickerPath);
    void setPosition(const QPointF &position);
    void setRotation(qreal rotation);
    void setScale(qreal scale);
    void setOpacity(qreal opacity);

    void setSource(const QString &source) { setStickerPath(source); }

Q_SIGNALS:
    void stickerPathChanged(const QString &stickerPath);
    void positionChanged(const QPointF &position);
    void rotationChanged(qreal rotation);
    void scaleChanged(qreal scale);
    void opacityChanged(qreal opacity);
    // Emitted together with stickerPathChanged.
    void sourceChanged(const QString &source);

private:
    void assignStickerPath(const QString &stickerPath);
    void assignPosition(const QPointF &position);
    void assignRotation(double rotation);
    void assignScale(double scale);
    void assignOpacity(double opacity);

    QString m_stickerPath;
    QPointF m_position { 0.5, 0.5 };
    qreal m_rotation = 0;
    qreal m_scale = 1.0;
    qreal m_opacity = 1.0;
};
