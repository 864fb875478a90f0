// Times the template chooser's preview generation: TemplatesModel on the
// chooser's sample document and default page, every registered template,
// with an empty preview cache (cold) and again with every preview on disk
// (warm, a second opening). Also reports the longest time one batch held
// the GUI thread, and the slowest single preview drawn.
//
//     bench_template_chooser

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QUrl>

#include "model/document.h"
#include "model/imagelist.h"
#include "model/pagesizepresets.h"
#include "themes/builtinthemes.h"
#include "themes/template.h"
#include "ui/templatesmodel.h"

#include <cstdio>

namespace {

// Measures every event delivered to one object: a batch of previews is one
// timer event on the model.
class TimingApplication : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (receiver != watched)
            return QApplication::notify(receiver, event);
        QElapsedTimer timer;
        timer.start();
        const bool result = QApplication::notify(receiver, event);
        longestNs = qMax(longestNs, timer.nsecsElapsed());
        return result;
    }

    QObject *watched = nullptr;
    qint64 longestNs = 0;
};

struct Run
{
    double seconds = 0;
    double longestBatchMs = 0;
    int previews = 0;
};

Run runOnce(TimingApplication &app, Document *document)
{
    TemplatesModel model(document);
    model.setCurrentPageSize(document->pageSize());
    app.watched = &model;
    app.longestNs = 0;
    QEventLoop loop;
    QObject::connect(&model, &TemplatesModel::previewProgress, &loop, [&loop](int done, int total) {
        if (done >= total)
            loop.quit();
    });
    QElapsedTimer timer;
    timer.start();
    model.startPreviews();
    loop.exec();
    Run run;
    run.seconds = timer.nsecsElapsed() / 1e9;
    run.longestBatchMs = app.longestNs / 1e6;
    run.previews = model.rowCount();
    app.watched = nullptr;
    return run;
}

// The slowest template to draw, rendered on its own.
void reportSlowest(Document *document)
{
    TemplatesModel model(document);
    model.setCurrentPageSize(document->pageSize());
    double slowestMs = 0;
    QString slowestName;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QSharedPointer<Template> look = model.templateAt(row);
        QElapsedTimer timer;
        timer.start();
        look->renderPreview(QSize(TemplatesModel::PreviewSize, TemplatesModel::PreviewSize));
        const double ms = timer.nsecsElapsed() / 1e6;
        if (ms > slowestMs) {
            slowestMs = ms;
            slowestName = look->name();
        }
    }
    std::printf("slowest_preview_ms: %.1f\n", slowestMs);
    std::printf("slowest_preview_template: %s\n", qPrintable(slowestName));
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir cache;
    if (!cache.isValid())
        return 1;
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TimingApplication app(argc, argv);
    BuiltInThemes::registerAll();

    // The chooser's own sample document when it opens without a collage.
    Document document(false);
    document.imageList()->insertUrls(
        0, QList<QUrl>(5, QUrl::fromLocalFile(Template::SampleImage)), false);
    document.setPageSize(PageSizePresets::builtIn().constFirst());

    const Run cold = runOnce(app, &document);
    const Run warm = runOnce(app, &document);
    std::printf("previews: %d\n", cold.previews);
    std::printf("cold_seconds: %.3f\n", cold.seconds);
    std::printf("warm_seconds: %.3f\n", warm.seconds);
    std::printf("longest_batch_ms: %.1f\n", qMax(cold.longestBatchMs, warm.longestBatchMs));
    std::printf("warm_vs_cold_ratio: %.3f\n", warm.seconds / qMax(cold.seconds, 1e-9));
    if (app.arguments().contains(QStringLiteral("--slowest")))
        reportSlowest(&document);
    return 0;
}
