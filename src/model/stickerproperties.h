#pragma once

#include <QString>
#include <QStringList>

#include "model/placedproperties.h"

// A sticker picture placed on the page. The path names an SVG or PNG file,
// normally one of availableStickers().
class StickerProperties : public PlacedProperties
{
    Q_OBJECT
    Q_PROPERTY(QString stickerPath READ stickerPath WRITE setStickerPath NOTIFY stickerPathChanged)

public:
    explicit StickerProperties(Document *document);

    // The sticker library: every SVG and PNG file under ":/stickers/", as
    // full resource paths in case-sensitive name order.
    static QStringList availableStickers();

    QString stickerPath() const { return m_stickerPath; }

    // Another name for the sticker path, kept for callers that speak of the
    // sticker's source like that of a photo.
    QString source() const { return m_stickerPath; }

public Q_SLOTS:
    void setStickerPath(const QString &stickerPath);

    void setSource(const QString &source) { setStickerPath(source); }

Q_SIGNALS:
    void stickerPathChanged(const QString &stickerPath);
    // Emitted together with stickerPathChanged.
    void sourceChanged(const QString &source);

private:
    void assignStickerPath(const QString &stickerPath);

    QString m_stickerPath;
};
