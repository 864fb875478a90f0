#include "stickerproperties.h"

#include <QDir>
#include <QtGlobal>

#include "model/document.h"
#include "undo/commandids.h"
#include "undo/propertyundocommand.h"

StickerProperties::StickerProperties(Document *document)
    : QObject(document)
    , DocumentPart(document)
{
}

QStringList StickerProperties::availableStickers()
{
    const QDir folder(QStringLiteral(":/stickers/"));
    // QDir::Name without IgnoreCase sorts case-sensitively.
    const QStringList names = folder.entryList(
        { QStringLiteral("*.svg"), QStringLiteral("*.png") }, QDir::Files, QDir::Name);
    QStringList paths;
    paths.reserve(names.size());
    for (const QString &name : names)
        paths.append(folder.filePath(name));
    return paths;
}

void StickerProperties::setStickerPath(const QString &stickerPath)
{
    setUndoable<&StickerProperties::assignStickerPath, &StickerProperties::stickerPath>(
        this, tr("Change sticker"), stickerPath, CommandId::StickerSource);
}

void StickerProperties::setPosition(const QPointF &position)
{
    setUndoable<&StickerProperties::assignPosition, &StickerProperties::position>(
        this, tr("Move sticker"), position, CommandId::StickerPosition);
}

void StickerProperties::setRotation(qreal rotation)
{
    setUndoable<&StickerProperties::assignRotation, &StickerProperties::rotation>(
        this, tr("Rotate sticker"), rotation, CommandId::StickerRotation);
}

void StickerProperties::setScale(qreal scale)
{
    setUndoable<&StickerProperties::assignScale, &StickerProperties::scale>(
        this, tr("Scale sticker"), scale, CommandId::StickerScale);
}

void StickerProperties::setOpacity(qreal opacity)
{
    setUndoable<&StickerProperties::assignOpacity, &StickerProperties::opacity>(
        this, tr("Change sticker opacity"), opacity, CommandId::StickerOpacity);
}

void StickerProperties::assignStickerPath(const QString &stickerPath)
{
    if (m_stickerPath == stickerPath)
        return;
    m_stickerPath = stickerPath;
    Q_EMIT stickerPathChanged(m_stickerPath);
    Q_EMIT sourceChanged(m_stickerPath);
}

// The numeric assignments drop values that are not finite: a NaN would
// compare unequal forever and would poison the item's geometry.
void StickerProperties::assignPosition(const QPointF &position)
{
    if (!qIsFinite(position.x()) || !qIsFinite(position.y()) || m_position == position)
        return;
    m_position = position;
    Q_EMIT positionChanged(m_position);
}

void StickerProperties::assignRotation(double rotation)
{
    if (!qIsFinite(rotation) || m_rotation == rotation)
        return;
    m_rotation = rotation;
    Q_EMIT rotationChanged(m_rotation);
}

void StickerProperties::assignScale(double scale)
{
    if (!qIsFinite(scale))
        return;
    scale = qBound(MinimumScale, scale, MaximumScale);
    if (m_scale == scale)
        return;
    m_scale = scale;
    Q_EMIT scaleChanged(m_scale);
}

void StickerProperties::assignOpacity(double opacity)
{
    if (!qIsFinite(opacity))
        return;
    opacity = qBound(0.0, opacity, 1.0);
    if (m_opacity == opacity)
        return;
    m_opacity = opacity;
    Q_EMIT opacityChanged(m_opacity);
}
