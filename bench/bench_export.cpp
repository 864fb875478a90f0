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
// Each export is a run of the tesselo program, timed whole (start-up
// included) with its peak memory; the figures are medians of several runs.
// Another build of the program can be measured on the same photos.
//
// Usage: bench_export [runs [program]]    (default 3 runs of this build)

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

#include "benchphotos.h"

extern char **environ;

namespace {

void print(const char *name, double value)
{
    std::printf("%s: %.3f\n", name, value);
    std::fflush(stdout);
}

struct JobResult
{
    double seconds = 0;
    double peakMegabytes = 0;
    bool ok = false;
};

// Runs the program once, as a user would, and measures the whole process:
// its wall time and its peak resident memory.
JobResult runProgram(const QString &program, const QStringList &arguments)
{
    std::vector<QByteArray> encoded { QFile::encodeName(program) };
    for (const QString &argument : arguments)
        encoded.push_back(QFile::encodeName(argument));
    std::vector<char *> argv;
    for (QByteArray &argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv.front(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return {};
    int status = 0;
    rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid)
        return {};
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    return { seconds, usage.ru_maxrss / 1024.0, true };
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
    const QStringList arguments = app.arguments();
    const int runs = arguments.size() > 1 ? qMax(1, arguments.at(1).toInt()) : 3;
    const QString program
        = arguments.size() > 2 ? arguments.at(2) : QStringLiteral(TESSELO_EXECUTABLE);

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
            const JobResult result = runProgram(program,
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
