#pragma once

#include <QSize>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>

#include "model/pagesize.h"

// What `tesselo --export` was asked to make, read from the command line.
struct ExportOptions
{
    enum class Mode { Editor, Export, ListTemplates, Help, Version, Thumbnail };

    // Limits of the values the command line accepts.
    static constexpr int MaximumSide = 100000;
    static constexpr qint64 MaximumPixels = 400'000'000;
    static constexpr int MinimumDpi = 1;
    static constexpr int MaximumDpi = 10000;
    static constexpr int MinimumWatermarkOpacity = 5;
    // File managers ask for 512 pixels at most; more is an export.
    static constexpr int MaximumThumbnailSize = 2048;

    Mode mode = Mode::Editor;
    QString output;
    QString theme = QStringLiteral("mosaic");
    QString templateName;
    PageSize page;
    int width = 0;
    int height = 0;
    double dpi = 0;
    QString watermark;
    int watermarkPosition = 1;
    int watermarkOpacity = 50;
    // Long side of a thumbnail in pixels.
    int thumbnailSize = 256;
    // JPEG and WebP quality, 1 to 100.
    int quality = 92;
    std::optional<quint64> seed;
    QStringList photos;
    // A saved collage to render instead of photos, and where to save the
    // collage that was made.
    QString inputDocument;
    QString saveDocument;
    // Print where each photo went and how much of it stays visible.
    bool report = false;

    // Reads the arguments (the program name first). On failure returns
    // nothing and puts a one-line reason into `error`.
    static std::optional<ExportOptions> parse(const QStringList &arguments, QString *error);
    static QString helpText();

    // The output size in pixels: the page at 1:1 for pixel pages, at the
    // given or default resolution for inch and centimetre pages, scaled to
    // the requested width or height with the page's proportions kept.
    QSize outputSize() const;
    // Output pixels per inch of an inch or centimetre page (width and
    // height apart, as a requested size may stretch them); null for pixel
    // pages, which have no physical size.
    QSizeF outputResolution() const;
    // Why the output cannot be made for this page and size; empty when it can.
    QString checkOutput() const;

    // A page given as a preset name or as WxH with an optional px, in or cm.
    static PageSize parsePage(const QString &text);
};
