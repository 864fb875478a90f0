// Measures what the command-line export costs against the floor any
// exporter pays: decoding each photo once at full size.
//
// It writes 14 photo-like JPEGs of 2560 x 1600, then in one run times
//  1. decoding every file once at full size on one thread, and
//  2. the export: a Mosaic page of 6000 x 4000 with frames and shadows,
//     made from those files, rendered and written as JPEG.

#include <QApplication>
#include <QElapsedTimer>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

#include "app/commandlineexport.h"
#include "app/exportoptions.h"
#include "benchphotos.h"
#include "imaging/imagecache.h"
#include "themes/builtinthemes.h"

namespace {

void print(const char *name, double value)
{
    std::printf("%s: %.3f\n", name, value);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BuiltInThemes::registerAll();

    QTemporaryDir folder;
    QStringList photos;
    for (int i = 0; i < 14; ++i) {
        const QString path = folder.filePath(QStringLiteral("photo%1.jpg").arg(i));
        if (!BenchPhotos::writePhoto(path, QSize(2560, 1600), quint32(100 + i), "jpeg"))
            return 1;
        photos.append(path);
    }

    QElapsedTimer timer;
    timer.start();
    for (const QString &path : std::as_const(photos)) {
        QImageReader reader(path);
        if (reader.read().isNull())
            return 1;
    }
    const double decodeSeconds = timer.nsecsElapsed() / 1e9;
    print("decode_floor_seconds", decodeSeconds);

    QString error;
    const std::optional<ExportOptions> options = ExportOptions::parse(
        QStringList { QStringLiteral("tesselo"), QStringLiteral("--export"),
            folder.filePath(QStringLiteral("collage.jpg")), QStringLiteral("--page"),
            QStringLiteral("6000x4000"), QStringLiteral("--template"), QStringLiteral("Polaroid"),
            QStringLiteral("--seed"), QStringLiteral("1") }
            + photos,
        &error);
    if (!options) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    ImageCache::instance()->clear();
    QTextStream out(stdout), err(stderr);
    timer.restart();
    const int status = CommandLineExport(*options, out, err).run();
    const double exportSeconds = timer.nsecsElapsed() / 1e9;
    if (status != 0)
        return status;
    print("export_seconds", exportSeconds);
    print("export_vs_decode_ratio", exportSeconds / decodeSeconds);
    return 0;
}
