// Times PhotoDropTheme::rearrange() on a Photo Drop document without undo
// stack, a 3000 x 2000 page with n photos of mixed proportions, once on the
// global thread pool and once with the pool limited to one thread. Each
// figure is the best of three runs from the same thrown pile.

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QMap>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QUrl>

#include "model/document.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/itemtransform.h"
#include "model/modelinsertcommand.h"
#include "model/randomgenerator.h"
#include "model/rotationrestriction.h"
#include "themes/photodrop/photodropitemproperties.h"
#include "themes/photodrop/photodropitempropertieslist.h"
#include "themes/photodrop/photodroptheme.h"

#include <cstdio>

namespace {

const QSize Proportions[]
    = { { 400, 300 }, { 300, 400 }, { 640, 360 }, { 300, 300 }, { 300, 450 }, { 600, 200 } };

struct Placement
{
    QPointF position;
    qreal zoom;
    qreal rotationRelative;
};

// The photos are files because image sources read them through the cache;
// they are drawn here, one per proportion.
QList<QUrl> writeImages(const QTemporaryDir &dir)
{
    QList<QUrl> urls;
    int index = 0;
    for (const QSize &size : Proportions) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(index * 60, 160, 220));
        const QString path = dir.filePath(QStringLiteral("photo%1.png").arg(index++));
        image.save(path);
        urls.append(QUrl::fromLocalFile(path));
    }
    return urls;
}

Document *buildDocument(int count, const QList<QUrl> &urls)
{
    auto *document = new Document(false);
    document->setPageSize(PageSize(PageSize::Pixels, QSizeF(3000, 2000)));
    QList<QSharedPointer<ImageSource>> images;
    for (int k = 0; k < count; ++k) {
        QSharedPointer<ImageSource> image(new ImageSource(document));
        image->setSource(urls.at(k % urls.size()));
        images.append(image);
    }
    ModelInsertCommand<QSharedPointer<ImageSource>> insert(
        QString(), document->imageList(), images, 0, true);
    insert.redo();
    auto *theme = new PhotoDropTheme(document);
    theme->rotationRestrictions()->setVariation(15);
    document->setTheme(theme);
    return document;
}

QList<Placement> placements(const PhotoDropTheme *theme)
{
    QList<Placement> result;
    for (const auto &item : theme->items()->items()) {
        const ItemTransform *t = item->transform();
        result.append({ t->position(), t->zoom(), t->rotationRelative() });
    }
    return result;
}

void restore(PhotoDropTheme *theme, const QList<Placement> &saved)
{
    for (int row = 0; row < saved.size(); ++row) {
        ItemTransform *t = theme->items()->at(row)->transform();
        t->setPosition(saved[row].position);
        t->setZoom(saved[row].zoom);
        t->setRotationRelative(saved[row].rotationRelative);
    }
}

double timeRearrange(PhotoDropTheme *theme, const QList<Placement> &thrown)
{
    restore(theme, thrown);
    QElapsedTimer timer;
    timer.start();
    theme->rearrange();
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QList<QUrl> urls = writeImages(dir);

    QThreadPool *pool = QThreadPool::globalInstance();
    const int threads = pool->maxThreadCount();
    QMap<int, double> speedups;
    for (int n : { 10, 50, 100, 200, 1000 }) {
        RandomGenerator::seed(20240 + quint64(n));
        QScopedPointer<Document> document(buildDocument(n, urls));
        auto *theme = qobject_cast<PhotoDropTheme *>(document->theme());
        const QList<Placement> thrown = placements(theme);
        // The two ways take turns, so that a busy moment of the machine
        // falls on both alike.
        double parallel = 1e9;
        double single = 1e9;
        for (int repeat = 0; repeat < 3; ++repeat) {
            pool->setMaxThreadCount(threads);
            parallel = qMin(parallel, timeRearrange(theme, thrown));
            pool->setMaxThreadCount(1);
            single = qMin(single, timeRearrange(theme, thrown));
        }
        pool->setMaxThreadCount(threads);
        std::printf("arrange_%d_seconds: %.4f\n", n, parallel);
        std::printf("arrange_%d_one_thread_seconds: %.4f\n", n, single);
        std::fflush(stdout);
        speedups.insert(n, single / parallel);
    }
    std::printf("threads: %d\n", threads);
    std::printf("parallel_speedup_100: %.3f\n", speedups.value(100));
    std::printf("parallel_speedup_1000: %.3f\n", speedups.value(1000));
    return 0;
}
