// Measures what the command-line export costs against the floor any
// exporter pays: decoding each photo once at full size.
//
// It writes 12 photo-like JPEGs of 2560 x 1600, times decoding every file
// once at full size on one thread, then runs three exports of a Mosaic page
// with frames and shadows made from those files:
//  1. 6000 x 4000 written as JPEG,
//  2. 6000 x 4000 written as PNG (and the file's size),
//  3. a poster of 20 x 30 inches at 600 dpi (12000 x 18000) as JPEG, with
//     the peak memory of the process.
// Each export runs in a child process of this program, so that its peak
// memory is its own; times are medians of several runs.
//
// Usage: bench_export [runs]        (default 3)

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
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

// The process's peak resident memory in megabytes.
double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

// In the child: one export, then "seconds peak_mb" on standard output.
int runJob(const QStringList &arguments)
{
    QString error;
    const std::optional<ExportOptions> options
        = ExportOptions::parse(QStringList { QStringLiteral("tesselo") } + arguments, &error);
    if (!options) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QTextStream out(stdout), err(stderr);
    QElapsedTimer timer;
    timer.start();
    const int status = CommandLineExport(*options, out, err).run();
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (status != 0)
        return status;
    std::printf("%.4f %.1f\n", seconds, peakMegabytes());
    return 0;
}

struct JobResult
{
    double seconds = 0;
    double peakMegabytes = 0;
    bool ok = false;
};

JobResult runChild(const QStringList &arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
        QStringList { QStringLiteral("--job") } + arguments);
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        return {};
    const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() != 2)
        return {};
    return { fields.at(0).toDouble(), fields.at(1).toDouble(), true };
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BuiltInThemes::registerAll();
    const QStringList arguments = app.arguments();
    if (arguments.size() > 1 && arguments.at(1) == QLatin1String("--job"))
        return runJob(arguments.mid(2));
    const int runs = arguments.size() > 1 ? qMax(1, arguments.at(1).toInt()) : 3;

    QTemporaryDir folder;
    QStringList photos;
    for (int i = 0; i < 12; ++i) {
        const QString path = folder.filePath(QStringLiteral("photo%1.jpg").arg(i));
        if (!BenchPhotos::writePhoto(path, QSize(2560, 1600), quint32(100 + i), "jpeg"))
            return 1;
        photos.append(path);
    }

    QList<double> floors;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        for (const QString &path : std::as_const(photos)) {
            QImageReader reader(path);
            if (reader.read().isNull())
                return 1;
        }
        floors.append(timer.nsecsElapsed() / 1e9);
    }
    const double floor = median(floors);
    print("decode_floor_seconds", floor);

    const QStringList look { QStringLiteral("--template"), QStringLiteral("Polaroid"),
        QStringLiteral("--seed"), QStringLiteral("1") };
    struct Job
    {
        const char *name;
        QString output;
        QStringList page;
    };
    const QList<Job> jobs {
        { "jpeg_6000x4000", folder.filePath(QStringLiteral("collage.jpg")),
            { QStringLiteral("--page"), QStringLiteral("6000x4000") } },
        { "png_6000x4000", folder.filePath(QStringLiteral("collage.png")),
            { QStringLiteral("--page"), QStringLiteral("6000x4000") } },
        { "poster_12000x18000", folder.filePath(QStringLiteral("poster.jpg")),
            { QStringLiteral("--page"), QStringLiteral("20x30in"), QStringLiteral("--dpi"),
                QStringLiteral("600") } },
    };
    for (const Job &job : jobs) {
        QList<double> seconds, peaks;
        for (int run = 0; run < runs; ++run) {
            const JobResult result = runChild(
                QStringList { QStringLiteral("--export"), job.output } + job.page + look + photos);
            if (!result.ok)
                return 1;
            seconds.append(result.seconds);
            peaks.append(result.peakMegabytes);
        }
        const QByteArray name(job.name);
        print(name + "_seconds", median(seconds));
        print(name + "_vs_decode_ratio", median(seconds) / floor);
        print(name + "_peak_mb", median(peaks));
        print(name + "_file_mb", QFileInfo(job.output).size() / 1e6);
    }
    return 0;
}
