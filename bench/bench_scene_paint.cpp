// Times the repaint of a Photo Drop page in a 1600 x 1000 QGraphicsView on
// the offscreen platform: 100 photos of mixed proportions on a 3000 x 2000
// page, turned at random, with frames and drop shadows on.
//
// frame_ms_full: a full repaint of the view, averaged once the view's caches
//                are warm (the first paint, which blurs every shadow, is
//                given as frame_ms_first, and what the switch to fast drawing
//                costs when a drag starts as frame_ms_drag_start).
// frame_ms_drag: one photo moved by a few pixels with fast drawing on, as
//                during a drag, from the transform change to the end of the
//                view's paint, averaged over many moves. The same drag is
//                timed again with Qt's stock drop shadow on every photo, for
//                comparison.

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGraphicsDropShadowEffect>
#include <QGraphicsView>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdio>

#include "model/document.h"
#include "model/frameproperties.h"
#include "model/imagelist.h"
#include "model/itemtransform.h"
#include "model/randomgenerator.h"
#include "model/rotationrestriction.h"
#include "model/shadowproperties.h"
#include "scene/cacheddropshadoweffect.h"
#include "scene/documentinneritem.h"
#include "scene/documentitem.h"
#include "scene/scene.h"
#include "themes/builtinthemes.h"
#include "themes/photodrop/photodropitem.h"
#include "themes/photodrop/photodropitemproperties.h"
#include "themes/photodrop/photodropitempropertieslist.h"
#include "themes/photodrop/photodropsceneitem.h"
#include "themes/photodrop/photodroptheme.h"

namespace {

constexpr int PhotoCount = 100;
constexpr int DragMoves = 300;
constexpr int FullRepaints = 10;

const QSize Proportions[]
    = { { 960, 720 }, { 720, 960 }, { 1024, 576 }, { 800, 800 }, { 600, 900 }, { 1200, 400 } };

// Photo-like pictures drawn in memory and written as JPEG files, which is
// how image sources get their pixels.
QList<QUrl> writeImages(const QTemporaryDir &dir)
{
    QList<QUrl> urls;
    for (int k = 0; k < PhotoCount; ++k) {
        const QSize size = Proportions[k % std::size(Proportions)];
        QImage image(size, QImage::Format_RGB32);
        QPainter painter(&image);
        QLinearGradient sky(0, 0, size.width(), size.height());
        sky.setColorAt(0, QColor::fromHsv((k * 37) % 360, 120, 240));
        sky.setColorAt(1, QColor::fromHsv((k * 37 + 150) % 360, 200, 90));
        painter.fillRect(image.rect(), sky);
        painter.setPen(Qt::NoPen);
        for (int blob = 0; blob < 12; ++blob) {
            painter.setBrush(QColor::fromHsv((k * 53 + blob * 29) % 360, 180, 200, 160));
            const int x = (blob * 131 + k * 17) % size.width();
            const int y = (blob * 71 + k * 29) % size.height();
            painter.drawEllipse(QPoint(x, y), size.width() / 8, size.height() / 8);
        }
        painter.end();
        const QString path = dir.filePath(QStringLiteral("photo%1.jpg").arg(k));
        QImageWriter writer(path);
        writer.setQuality(85);
        if (!writer.write(image))
            return {};
        urls.append(QUrl::fromLocalFile(path));
    }
    return urls;
}

// Counts the view's paints, so that a frame is known to be on screen.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// Runs the event loop until the viewport has painted once more.
bool waitForPaint(const PaintCounter &counter)
{
    const int before = counter.paints;
    QElapsedTimer guard;
    guard.start();
    while (counter.paints == before) {
        QCoreApplication::processEvents();
        if (guard.elapsed() > 5000)
            return false;
    }
    return true;
}

void print(const char *name, double value)
{
    std::printf("%s: %.2f\n", name, value);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BuiltInThemes::registerAll();
    RandomGenerator::seed(1600);

    QTemporaryDir dir;
    const QList<QUrl> urls = writeImages(dir);
    if (urls.size() != PhotoCount) {
        std::fprintf(stderr, "could not write the pictures\n");
        return 1;
    }

    Document document(true);
    document.setPageSize(PageSize(PageSize::Pixels, QSizeF(3000, 2000)));
    if (!document.imageList()->insertUrls(0, urls, false)) {
        std::fprintf(stderr, "could not read the pictures\n");
        return 1;
    }
    document.setThemeId(BuiltInThemes::PhotoDropId);
    auto *theme = qobject_cast<PhotoDropTheme *>(document.theme());
    if (!theme) {
        std::fprintf(stderr, "no Photo Drop theme\n");
        return 1;
    }
    theme->frames()->setEnabled(true);
    theme->shadows()->setEnabled(true);
    theme->rotationRestrictions()->setVariation(20);
    theme->randomize();

    Scene scene(&document);
    auto *layer = qobject_cast<PhotoDropSceneItem *>(scene.documentItem()->sceneLayer());
    if (!layer)
        layer = new PhotoDropSceneItem(theme, scene.documentItem()->innerItem(), &scene);

    QGraphicsView view(&scene);
    view.setFrameShape(QFrame::NoFrame);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    view.resize(1600, 1000);
    PaintCounter counter;
    view.viewport()->installEventFilter(&counter);
    view.show();
    scene.setSceneRect(QRectF(QPointF(0, 0), QSizeF(view.viewport()->size())));

    QElapsedTimer timer;
    timer.start();
    if (!waitForPaint(counter)) {
        std::fprintf(stderr, "the view does not paint\n");
        return 1;
    }
    // The first paint sizes the shadows, which repaints the page once more.
    view.viewport()->repaint();
    const double first = timer.nsecsElapsed() / 1e6;

    double full = 0;
    for (int k = 0; k < FullRepaints; ++k) {
        timer.restart();
        view.viewport()->repaint();
        full += timer.nsecsElapsed() / 1e6;
    }
    full /= FullRepaints;

    // A photo from the middle of the pile, with neighbours above and below.
    ItemTransform *moved = theme->items()->at(PhotoCount / 2)->transform();
    const QPointF start = moved->position();
    double dragStart = 0;
    auto dragFrames = [&]() -> double {
        // What the start of a drag costs before the first move: whatever
        // repaints the switch to fast drawing asks for.
        // Paints still pending from before are no part of it.
        for (int k = 0; k < 3; ++k)
            QCoreApplication::processEvents();
        QElapsedTimer startTimer;
        startTimer.start();
        scene.beginFastDraw();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        dragStart = startTimer.nsecsElapsed() / 1e6;
        double total = 0;
        for (int k = 0; k < DragMoves; ++k) {
            // Back and forth over a few view pixels (the page shows at
            // about half its size).
            const int phase = k % 20;
            const qreal step = phase < 10 ? phase : 20 - phase;
            QElapsedTimer frame;
            frame.start();
            moved->setPosition(start + QPointF(6 * step, 4 * step) + QPointF(3, 2));
            if (!waitForPaint(counter))
                return -1;
            total += frame.nsecsElapsed() / 1e6;
        }
        scene.endFastDraw();
        QCoreApplication::processEvents();
        return total / DragMoves;
    };

    auto blurs = [&] {
        int count = 0;
        for (QGraphicsItem *item : layer->photoItems()) {
            if (auto *effect = qobject_cast<CachedDropShadowEffect *>(item->graphicsEffect()))
                count += effect->blurCount();
        }
        return count;
    };
    const int blursBefore = blurs();
    const double drag = dragFrames();
    const double cachedDragStart = dragStart;
    const int blursDuringDrag = blurs() - blursBefore;

    // The same drag with Qt's own drop shadow, which blurs every shadow the
    // repainted area touches in every frame.
    for (QGraphicsItem *item : layer->photoItems()) {
        const auto *cached = qobject_cast<QGraphicsDropShadowEffect *>(item->graphicsEffect());
        if (!cached)
            continue;
        auto *stock = new QGraphicsDropShadowEffect;
        stock->setOffset(cached->offset());
        stock->setBlurRadius(cached->blurRadius());
        stock->setColor(cached->color());
        stock->setEnabled(cached->isEnabled());
        item->setGraphicsEffect(stock);
    }
    const double stockDrag = dragFrames();
    if (drag < 0 || stockDrag < 0) {
        std::fprintf(stderr, "a drag frame was not painted\n");
        return 1;
    }

    print("frame_ms_first", first);
    print("frame_ms_full", full);
    print("frame_ms_drag_start", cachedDragStart);
    print("shadow_blurs_per_drag_frame", double(blursDuringDrag) / DragMoves);
    print("frame_ms_drag_stock_shadow", stockDrag);
    print("drag_speedup_over_stock_shadow", stockDrag / drag);
    print("frame_ms_drag", drag);
    return 0;
}
