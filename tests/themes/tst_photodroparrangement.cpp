#include <QPolygonF>
#include <QRandomGenerator>
#include <QSemaphore>
#include <QTest>
#include <QThread>
#include <QThreadPool>
#include <QTransform>

#include "model/randomgenerator.h"
#include "themes/photodrop/passworkers.h"
#include "themes/photodrop/photodroparrangement.h"

#include <cmath>

namespace {

double polygonArea(const QPolygonF &polygon)
{
    double sum = 0;
    for (int k = 0; k + 1 < polygon.size(); ++k)
        sum += polygon[k].x() * polygon[k + 1].y() - polygon[k + 1].x() * polygon[k].y();
    if (!polygon.isEmpty() && !polygon.isClosed())
        sum += polygon.last().x() * polygon.first().y() - polygon.first().x() * polygon.last().y();
    return std::abs(sum) / 2;
}

QPolygonF photoPolygon(const PhotoDropPlacement &placement, qreal rotation, const QRectF &rect)
{
    const QTransform matrix = QTransform()
                                  .translate(placement.position.x(), placement.position.y())
                                  .scale(placement.zoom, placement.zoom)
                                  .rotate(rotation);
    return matrix.map(QPolygonF(rect));
}

// The total overlap of all pairs, measured with Qt's own polygon clipping.
double totalOverlap(const std::vector<QPolygonF> &polygons)
{
    double total = 0;
    for (std::size_t i = 0; i < polygons.size(); ++i) {
        for (std::size_t j = i + 1; j < polygons.size(); ++j)
            total += polygonArea(polygons[i].intersected(polygons[j]));
    }
    return total;
}

std::vector<PhotoDropArrangement::Photo> throwPile(int count, const QSizeF &page, qreal variation)
{
    static const QSize proportions[]
        = { { 400, 300 }, { 300, 400 }, { 1920, 1080 }, { 500, 500 }, { 200, 300 }, { 900, 300 } };
    std::vector<PhotoDropArrangement::Photo> photos;
    for (int k = 0; k < count; ++k) {
        const QSizeF unit = PhotoDropArrangement::unitSize(proportions[k % 6]);
        PhotoDropArrangement::Photo photo;
        photo.placement = PhotoDropArrangement::randomPlacement(unit, page, k + 2, 0, variation);
        photo.rotation
            = PhotoDropArrangement::rotationDegrees(photo.placement.rotationRelative, 0, variation);
        photo.rect = PhotoDropArrangement::collisionRect(unit, 0.08);
        photos.push_back(photo);
    }
    return photos;
}

} // namespace

class TestPhotoDropArrangement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        QThreadPool::globalInstance()->setMaxThreadCount(QThread::idealThreadCount());
        RandomGenerator::reseed();
    }

    void combinations()
    {
        auto pairsOf = [](const auto &container) {
            QList<QPoint> seen;
            for (std::ptrdiff_t index = 0; index < container.size(); ++index)
                seen.append(QPoint(container[index].first, container[index].second));
            return seen;
        };
        QVERIFY(pairsOf(CombinationsContainer(1)).isEmpty());
        QCOMPARE(pairsOf(CombinationsContainer(4)),
            QList<QPoint>({ { 0, 1 }, { 0, 2 }, { 1, 2 }, { 0, 3 }, { 1, 3 }, { 2, 3 } }));
        // Every photo of one group against every photo of another, row by row.
        QCOMPARE(pairsOf(OrederedCombiantioinsConatiner(2, 3)),
            QList<QPoint>({ { 0, 0 }, { 0, 1 }, { 0, 2 }, { 1, 0 }, { 1, 1 }, { 1, 2 } }));

        // The pair solved for an index agrees with counting the pairs, far into
        // the sequence where the square root rounds.
        const int count = 3000;
        std::ptrdiff_t index = 0;
        for (int second = 1; second < count; ++second) {
            for (int first = 0; first < second; ++first, ++index) {
                const IndexPair pair = CombinationsContainer::pairAt(index);
                if (pair.first != first || pair.second != second)
                    QFAIL(qPrintable(QStringLiteral("pair %1 is wrong").arg(index)));
            }
        }
        QCOMPARE(CombinationsContainer(count).size(), index);
    }

    void randomPlacement()
    {
        // A wide photo among 8 on a portrait page, turned up to a quarter turn
        // either way of 30 degrees.
        const QSizeF page(2000, 3000);
        const QSizeF unit = PhotoDropArrangement::unitSize(QSize(900, 300));
        const QRectF local(QPointF(-unit.width() / 2, -unit.height() / 2), unit);
        const QSizeF fitted = unit.scaled(page, Qt::KeepAspectRatio);
        RandomGenerator::seed(7);
        for (int draw = 0; draw < 300; ++draw) {
            const PhotoDropPlacement p
                = PhotoDropArrangement::randomPlacement(unit, page, 8, 30, 90);
            QVERIFY(p.rotationRelative >= -1.0 && p.rotationRelative < 1.0);
            // The turned photo's box gets the n-th part of the area it could fill.
            const qreal degrees = PhotoDropArrangement::rotationDegrees(p.rotationRelative, 30, 90);
            const QRectF box = QTransform().scale(p.zoom, p.zoom).rotate(degrees).mapRect(local);
            const double share = fitted.width() * fitted.height() / 8;
            QVERIFY(qAbs(box.width() * box.height() - share) < 1e-6 * share);
            // The box stays on the page when it fits.
            if (box.width() <= page.width() && box.height() <= page.height())
                QVERIFY(QRectF(QPointF(0, 0), page)
                            .adjusted(-1e-9, -1e-9, 1e-9, 1e-9)
                            .contains(box.translated(p.position)));
        }
    }

    void intersectionCenter()
    {
        // Against Qt's general polygon clipping: the centre lies inside the
        // overlap Qt finds, for rotated rectangles in every relation.
        QRandomGenerator random(1234);
        const auto thrown = [&random](const QRectF &rect) {
            return QTransform()
                .translate(random.bounded(100.0), random.bounded(100.0))
                .scale(30 + random.bounded(30.0), 30 + random.bounded(30.0))
                .rotate(random.bounded(360.0))
                .map(QPolygonF(rect));
        };
        int overlapping = 0;
        for (int k = 0; k < 500; ++k) {
            const QPolygonF a = thrown(QRectF(-0.5, -0.4, 1.0, 0.8));
            const QPolygonF b = thrown(QRectF(-0.3, -0.5, 0.6, 1.0));
            const QPolygonF qtOverlap = a.intersected(b);
            QPointF center;
            const bool found = PhotoDropArrangement::intersectionCenter(a, b, &center);
            const double area = polygonArea(qtOverlap);
            if (area > 1.0) {
                QVERIFY(found);
                QVERIFY(qtOverlap.containsPoint(center, Qt::OddEvenFill));
                ++overlapping;
            } else if (area == 0.0) {
                QVERIFY(!found);
            }
        }
        QVERIFY(overlapping > 50);

        // Touching or degenerate: no overlap either way round.
        const QRectF square(0, 0, 1, 1);
        for (const QRectF &other : { QRectF(1, 1, 1, 1), QRectF(0.5, 0.5, 0, 0) }) {
            QPointF center;
            QVERIFY(!PhotoDropArrangement::intersectionCenter(square, other, &center));
            QVERIFY(!PhotoDropArrangement::intersectionCenter(other, square, &center));
        }
    }

    void onePhoto()
    {
        // No pairs and no contact: thrown half off the page's left edge, it
        // grows until a corner leaves the page, then the bounds hold it and
        // push it back inside.
        const PhotoDropArrangement::Photo photo { { QPointF(0, 1000), 100, 0 }, 10,
            PhotoDropArrangement::collisionRect(QSizeF(1, 0.75), 0.08) };
        PhotoDropArrangement arrangement(QSizeF(3000, 2000), { photo });
        arrangement.run(500);
        const QRectF box = photoPolygon(arrangement.placement(0), 10, photo.rect).boundingRect();
        // It grew to about the page's height and stays on the page, up to the
        // same 5 % the relaxation of many photos is allowed.
        QVERIFY(box.height() > 1800);
        QVERIFY(QRectF(-100, -100, 3200, 2200).contains(box));
    }

    void overlapSeparation_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QSizeF>("page");
        QTest::addColumn<qreal>("variation");
        QTest::addColumn<qreal>("squeeze");
        // Thrown as the theme throws new photos.
        QTest::newRow("20 on portrait") << 20 << QSizeF(2000, 3000) << 30.0 << 1.0;
        // Heaped in the middle: the photos first shrink out of each other's way.
        QTest::newRow("20 heaped") << 20 << QSizeF(3000, 2000) << 20.0 << 0.3;
    }

    void overlapSeparation()
    {
        QFETCH(int, count);
        QFETCH(QSizeF, page);
        QFETCH(qreal, variation);
        QFETCH(qreal, squeeze);
        RandomGenerator::seed(3);
        std::vector<PhotoDropArrangement::Photo> photos = throwPile(count, page, variation);
        const QPointF middle(page.width() / 2, page.height() / 2);
        for (auto &photo : photos)
            photo.placement.position = middle + (photo.placement.position - middle) * squeeze;
        PhotoDropArrangement arrangement(page, photos);
        arrangement.run(500);
        std::vector<QPolygonF> before;
        std::vector<QPolygonF> after;
        double photoArea = 0;
        for (int k = 0; k < count; ++k) {
            const PhotoDropArrangement::Photo &photo = photos[k];
            before.push_back(photoPolygon(photo.placement, photo.rotation, photo.rect));
            after.push_back(photoPolygon(arrangement.placement(k), photo.rotation, photo.rect));
            photoArea += polygonArea(after.back());
            // The rotations are the photos' own; the run only moves and scales.
            QCOMPARE(arrangement.placement(k).rotationRelative, photo.placement.rotationRelative);
        }
        const double overlapBefore = totalOverlap(before);
        const double overlapAfter = totalOverlap(after);
        QVERIFY(overlapBefore > 0);
        QVERIFY2(overlapAfter < 0.2 * overlapBefore,
            qPrintable(QStringLiteral("%1 -> %2").arg(overlapBefore).arg(overlapAfter)));
        // Photos thrown over the page use it.
        QVERIFY(squeeze < 1 || photoArea >= 0.3 * page.width() * page.height());
        // And they stay on it, up to the last small steps of the relaxation.
        const qreal tolerance = 0.05 * qMin(page.width(), page.height());
        const QRectF allowed
            = QRectF(QPointF(0, 0), page).adjusted(-tolerance, -tolerance, tolerance, tolerance);
        for (const QPolygonF &polygon : after)
            QVERIFY(allowed.contains(polygon.boundingRect()));
    }

    void sameResultOnAnyPool_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("threads");
        QTest::newRow("30 photos, three threads") << 30 << 3;
        QTest::newRow("a large pile") << PhotoDropArrangement::parallelPhotoCount << 2;
    }

    void sameResultOnAnyPool()
    {
        // The pushes are summed in a fixed order, so neither the thread schedule
        // nor running inline shows in the result: a seeded layout is reproduced
        // exactly.
        QFETCH(int, count);
        QFETCH(int, threads);
        QThreadPool::globalInstance()->setMaxThreadCount(threads);
        RandomGenerator::seed(11);
        const QSizeF page(3000, 2000);
        const std::vector<PhotoDropArrangement::Photo> photos = throwPile(count, page, 20);
        const auto run = [&](PhotoDropArrangement::Threading threading) {
            PhotoDropArrangement arrangement(page, photos);
            arrangement.setThreading(threading);
            arrangement.run(count > 100 ? 40 : 500);
            std::vector<double> result;
            for (int k = 0; k < count; ++k) {
                const PhotoDropPlacement p = arrangement.placement(k);
                result.insert(result.end(), { p.position.x(), p.position.y(), p.zoom });
            }
            return result;
        };
        // Compared bit for bit: QCOMPARE would forgive small differences.
        const std::vector<double> pooled = run(PhotoDropArrangement::Threading::Pool);
        QVERIFY(run(PhotoDropArrangement::Threading::Inline) == pooled);
        QVERIFY(run(PhotoDropArrangement::Threading::Automatic) == pooled);
    }

    void workersCoverEveryIndexOnce()
    {
        QThreadPool::globalInstance()->setMaxThreadCount(4);
        PassWorkers workers(4);
        QVERIFY(workers.helperCount() > 0);
        for (std::ptrdiff_t size : { 0, 1, 2, 7, 1000 }) {
            std::vector<std::atomic<int>> visits(static_cast<std::size_t>(size));
            for (int step = 0; step < 50; ++step) {
                workers.forEachRange(size, [&](std::ptrdiff_t begin, std::ptrdiff_t end) {
                    for (std::ptrdiff_t k = begin; k < end; ++k)
                        ++visits[std::size_t(k)];
                });
            }
            for (const std::atomic<int> &count : visits)
                QCOMPARE(count.load(), 50);
        }
    }

    void busyPoolRunsInline()
    {
        // With every pool thread taken, the calling thread does each step alone
        // instead of waiting for helpers that cannot come.
        QThreadPool *pool = QThreadPool::globalInstance();
        pool->setMaxThreadCount(2);
        QSemaphore release;
        for (int k = 0; k < 2; ++k)
            pool->start([&release] { release.acquire(); });
        PassWorkers workers(2);
        QCOMPARE(workers.helperCount(), 0);
        int calls = 0;
        workers.forEachRange(10, [&](std::ptrdiff_t begin, std::ptrdiff_t end) {
            ++calls;
            QCOMPARE(end - begin, std::ptrdiff_t(10));
        });
        QCOMPARE(calls, 1);
        release.release(2);
        pool->waitForDone();
    }

    void degeneratePhotos()
    {
        PhotoDropArrangement empty(QSizeF(100, 100), {});
        empty.run(500);
        QCOMPARE(empty.count(), 0);

        // A photo whose image has no size has no area: nothing divides by it,
        // and its zero short side does not freeze the others.
        const PhotoDropArrangement::Photo broken { { QPointF(500, 500), 200, 0 }, 0,
            PhotoDropArrangement::collisionRect(PhotoDropArrangement::unitSize(QSize()), 0.08) };
        const QRectF square(-0.5, -0.5, 1, 1);
        PhotoDropArrangement arrangement(QSizeF(1000, 1000),
            { broken, { { QPointF(480, 500), 300, 0 }, 0, square },
                { { QPointF(520, 500), 300, 0 }, 0, square } });
        arrangement.run(500);
        for (int k = 0; k < 3; ++k) {
            const PhotoDropPlacement placement = arrangement.placement(k);
            QVERIFY(
                std::isfinite(placement.position.x() + placement.position.y() + placement.zoom));
        }
        // The two real photos slid apart.
        QVERIFY(
            arrangement.placement(2).position.x() - arrangement.placement(1).position.x() > 200);

        // A push at the photo's own centre has no direction: no force, and no
        // division by zero, but it still counts as pressure.
        TemporyItemData item;
        item.transform.position = QPointF(5, 5);
        item.transform.zoom = 1;
        item.rect = QRectF(-0.5, -0.5, 1, 1);
        item.start();
        PhotoDropArrangement::push(item, QPointF(5, 5), 2.0, 0);
        item.collectPushes();
        QCOMPARE(
            std::tuple(item.force[0], item.force[1], item.pressure), std::tuple(0.0f, 0.0f, 2.0));
    }
};

QTEST_GUILESS_MAIN(TestPhotoDropArrangement)
#include "tst_photodroparrangement.moc"
