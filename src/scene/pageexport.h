#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <functional>

#include "scene/watermark.h"

class Document;
class QIODevice;
class QSaveFile;

// What an export makes: the one description that the export dialog and
// the command line both fill in.
struct ExportSettings
{
    static constexpr int DefaultQuality = 92;
    static constexpr int DefaultWatermarkOpacity = 30;

    QByteArray format = "png";
    QSize size;
    // Dots per inch of an inch or centimetre page, across and down; empty
    // for pixel pages, which have no physical size.
    QSizeF resolution;
    // For the formats that have one (JPEG, WebP); 1 to 100.
    int quality = DefaultQuality;
    QString watermark;
    int watermarkPosition = WatermarkBottomRight;
    int watermarkOpacity = DefaultWatermarkOpacity;
};

// The render-and-write path below the dialogs and the command line: the
// page drawn from the photo files at the output size, the watermark added
// and the file written through QSaveFile, so that a failure or a cancel
// leaves any older file untouched.
class PageExport
{
    Q_DECLARE_TR_FUNCTIONS(PageExport)

public:
    enum class Result { Written, Cancelled, Failed };

    // Hears how far the work is (done of total steps) and may cancel it by
    // returning false. Called on the GUI thread between two steps.
    using Progress = std::function<bool(int done, int total)>;

    PageExport(Document *document, const ExportSettings &settings);

    void setProgress(Progress progress) { m_progress = std::move(progress); }

    Result write(const QString &path);
    // Why write() failed, one sentence for the user.
    QString errorString() const { return m_error; }

    // The page rendered at the settings' size over `background`, without
    // watermark; a null image when the memory cannot be had (the reason in
    // errorString()) or the progress cancelled.
    QImage render(const QColor &background);
    bool wasCancelled() const { return m_cancelled; }
    // Whether the failure was a picture too large for memory.
    bool allocationFailed() const { return m_allocationFailed; }

    // Formats that can be written, in the image writer's order, PDF last.
    static QList<QByteArray> formats();
    static bool formatHasAlpha(const QByteArray &format);
    static bool formatHasQuality(const QByteArray &format);
    // Writes `image` to `device` in `format`; a writer error in `error`.
    static bool writeImage(const QImage &image, QIODevice *device, const QByteArray &format,
        int quality, QString *error);

private:
    bool step(int done, int total);
    Result writeJpegInBands(const QString &path);
    // Opens `file`, keeping the error when it cannot be opened.
    bool openForWriting(QSaveFile *file);
    // Puts the written file in place and reports the last step.
    Result commit(QSaveFile *file);
    QImage finishedImage(const QColor &background);
    bool writePdf(const QImage &image, QIODevice *device);

    Document *m_document;
    ExportSettings m_settings;
    Progress m_progress;
    QString m_error;
    bool m_cancelled = false;
    bool m_allocationFailed = false;
    int m_photos = 0;
};
