#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "imaging/drawflags.h"
#include "imaging/imagecache.h"
#include "imaging/testphotos.h"
#include "model/document.h"
#include "model/imagesource.h"
#include "model/transformedimagesource.h"
#include "undo/undostack.h"

class TestImageSource : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void init() { ImageCache::instance()->clear(); }

    // Without a document a change is assigned at once; with one, a run of
    // changes of one source is one step, and another source starts its own.
    void undoSteps()
    {
        const QUrl a = writeQuadrants(QStringLiteral("a.jpg"), QSize(40, 20));
        const QUrl b = writeQuadrants(QStringLiteral("b.jpg"), QSize(40, 20));
        ImageSource source;
        source.setSource(a);
        QCOMPARE(source.state(), ImageSource::Ready);
        source.setRotation(-1); // turns count modulo four
        QCOMPARE(source.rotation(), 3);

        Document document(true);
        UndoStack *stack = document.undoStack();
        source.setDocument(&document);
        source.setSource(b);
        source.setSource(QUrl());
        source.setSource(b);
        source.rotate90(1);
        source.rotate90(-3);
        QCOMPARE(source.rotation(), 1);
        source.setRotation(6);
        QCOMPARE(stack->count(), 2);
        stack->undo();
        QCOMPARE(source.rotation(), 3);
        stack->undo();
        QCOMPARE(source.source(), a);
        stack->redo();
        stack->redo();
        QCOMPARE(source.rotation(), 2);
        ImageSource other(&document);
        other.setSource(a);
        QCOMPARE(stack->count(), 3);
    }

    void imageTransform()
    {
        // A 400 x 300 picture fitted into, and filling, a rectangle.
        const QUrl url = writeQuadrants(QStringLiteral("transform.jpg"), QSize(400, 300));
        ImageSource source;
        source.setSource(url);
        const QRectF picture(0, 0, 400, 300);
        const QTransform fit = source.imageTransform(QRectF(50, 20, 800, 300), Qt::KeepAspectRatio);
        QCOMPARE(fit.mapRect(picture), QRectF(250, 20, 400, 300));
        const QTransform fill
            = source.imageTransform(QRectF(0, 0, 100, 100), Qt::KeepAspectRatioByExpanding);
        QCOMPARE(fill.mapRect(picture), QRectF(-100.0 / 6, 0, 400.0 / 3, 100));
    }

    void drawUpright_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("rotation");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QList<QColor>>(
            "corners"); // top-left, top-right, bottom-left, bottom-right

        const QList<QColor> plain { Qt::red, Qt::green, Qt::blue, Qt::yellow };
        const QList<QColor> turned { Qt::blue, Qt::red, Qt::yellow, Qt::green };
        QTest::newRow("plain, fast") << 1 << 0 << int(FastDraw) << plain;
        QTest::newRow("turned once by the user") << 1 << 1 << 0 << turned;
        QTest::newRow("tagged rotate 90, direct") << 6 << 0 << int(DirectRender) << turned;
        QTest::newRow("tagged and turned back") << 6 << 3 << 0 << plain;
    }

    void drawUpright()
    {
        QFETCH(int, orientation);
        QFETCH(int, rotation);
        QFETCH(int, flags);
        QFETCH(QList<QColor>, corners);
        const QList<QColor> plain { Qt::red, Qt::green, Qt::blue, Qt::yellow };

        // Stored as 400 x 200; the orientation tag may turn it upright.
        const QUrl url = writeQuadrants(
            QStringLiteral("draw-%1.jpg").arg(orientation), QSize(400, 200), orientation);
        ImageSource source;
        source.setSource(url);
        source.setRotation(rotation);
        const QSize size = source.size();
        QCOMPARE(size, corners == plain ? QSize(400, 200) : QSize(200, 400));

        QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        {
            QPainter painter(&canvas);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            source.draw(&painter, flags);
        }
        const int w = size.width();
        const int h = size.height();
        const QList<QPoint> samples { { w / 4, h / 4 }, { 3 * w / 4, h / 4 }, { w / 4, 3 * h / 4 },
            { 3 * w / 4, 3 * h / 4 } };
        for (int i = 0; i < 4; ++i)
            QVERIFY(TestPhotos::near(canvas.pixel(samples.at(i)), corners.at(i)));
        // The picture covers the whole rectangle.
        QCOMPARE(qAlpha(canvas.pixel(2, 2)) + qAlpha(canvas.pixel(w - 3, h - 3)), 510);
    }

    void drawUnreadableDrawsNothing()
    {
        const QString path = m_dir.filePath(QStringLiteral("broken.jpg"));
        QVERIFY(TestPhotos::writeFile(path, QByteArray("not a picture")));
        ImageSource source;
        source.setSource(QUrl::fromLocalFile(path));
        QCOMPARE(source.state(), ImageSource::Ready);
        QVERIFY(source.size().isEmpty());
        QImage canvas(50, 50, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        const QImage empty = canvas;
        {
            QPainter painter(&canvas);
            source.draw(&painter, 0);
            source.drawInRect(&painter, 0, QRectF(0, 0, 50, 50), Qt::KeepAspectRatio);
        }
        QCOMPARE(canvas, empty);
    }

    void drawQualityFollowsCache()
    {
        const QUrl mine = writeQuadrants(QStringLiteral("mine.jpg"), QSize(64, 64));
        const QUrl other = writeQuadrants(QStringLiteral("other.jpg"), QSize(64, 64));
        ImageSource source;
        source.setSource(mine);
        QSignalSpy better(&source, &ImageSource::drawQualityIncrized);
        QSignalSpy announced(ImageCache::instance(), &ImageCache::imageCached);
        QVERIFY(ImageCache::cacheImage(other));
        QVERIFY(ImageCache::cacheImage(mine));
        // The cache announces new pictures from the GUI thread's event loop;
        // once it has announced both, the source has answered for its own only.
        QTRY_COMPARE(announced.count(), 2);
        QCOMPARE(better.count(), 1);
    }

    void transformedSourceUndo()
    {
        Document document(true);
        UndoStack *stack = document.undoStack();
        QSharedPointer<ImageSource> first(new ImageSource(&document));
        QSharedPointer<ImageSource> second(new ImageSource(&document));
        TransformedImageSource cell(first, &document);
        cell.setSource(second);
        cell.setSource(first);
        QCOMPARE(stack->count(), 1); // a run of changes merges
        cell.setTransform(QTransform::fromTranslate(5, 5));
        cell.setTransform(QTransform::fromScale(2, 2));
        QCOMPARE(stack->count(), 2);
        stack->undo();
        QCOMPARE(cell.transform(), QTransform());
        stack->undo();
        QCOMPARE(cell.source(), first);
        stack->redo();
        stack->redo();
        QCOMPARE(cell.transform(), QTransform::fromScale(2, 2));
    }

private:
    QUrl writeQuadrants(const QString &name, const QSize &size, int orientation = 1)
    {
        QByteArray bytes = TestPhotos::encode(TestPhotos::quadrants(size), "jpeg", 95);
        if (orientation != 1)
            bytes = TestPhotos::withExifOrientation(bytes, orientation);
        const QString path = m_dir.filePath(name);
        if (!TestPhotos::writeFile(path, bytes))
            return QUrl();
        return QUrl::fromLocalFile(path);
    }

    QTemporaryDir m_dir;
};

QTEST_MAIN(TestImageSource)
#include "tst_imagesource.moc"
