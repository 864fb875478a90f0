#include "stickerproperties.h"

#include <QDir>

#include "model/assignchanged.h"
#include "model/document.h"
#include "undo/commandids.h"
#include "undo/propertyundocommand.h"

StickerProperties::StickerProperties(Document *document)
    : PlacedProperties(document,
        { { QT_TR_NOOP("Move sticker"), CommandId::StickerPosition },
            { QT_TR_NOOP("Rotate sticker"), CommandId::StickerRotation },
            { QT_TR_NOOP("Scale sticker"), CommandId::StickerScale },
            { QT_TR_NOOP("Change sticker opacity"), CommandId::StickerOpacity } })
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

void StickerProperties::assignStickerPath(const QString &stickerPath)
{
    if (!assignChanged(m_stickerPath, stickerPath))
        return;
    Q_EMIT stickerPathChanged(m_stickerPath);
    Q_EMIT sourceChanged(m_stickerPath);
}
