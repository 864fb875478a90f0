#include <QPolygonF>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>
#include <QThreadPool>
#include <QTransform>

#include "model/randomgenerator.h"
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

TemporyItemData *makeItem(const QPointF &position, qreal zoom, const QRectF &rect)
{
    auto *item = new TemporyItemData;
    item->transform.position = position;
    item->transform.zoom = zoom;
    item->rect = rect;
    item->start();
    return item;
}

} // namespace

class TestPhotoDropArrangement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void combinationsOrder_data();
    void combinationsOrder();
    void combinationsRandomAccess();
    void boundCombinationsOrder();

    void unitSize_data();
    void unitSize();
    void collisionRect_data();
    void collisionRect();

    void randomPlacement_data();
    void randomPlacement();
    void randomPlacementIsSeeded();

    void intersectionCenter();
    void intersectionCenterOfDisjointOrTouching_data();
    void intersectionCenterOfDisjointOrTouching();

    void pushDirection_data();
    void pushDirection();

    void startGeometry();
    void bounds();
    void onePhotoGrows();
    void onePhotoOutsideIsPushedBack();
    void overlapSeparation_data();
    void overlapSeparation();
    void sameResultOnAnyPool();
    void zeroSizedPhotoDoesNotStopOthers();
    void emptyRun();
};

void TestPhotoDropArrangement::cleanup()
{
    QThreadPool::globalInstance()->setMaxThreadCount(QThread::idealThreadCount());
    RandomGenerator::reseed();
}

void TestPhotoDropArrangement::combinationsOrder_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<QPoint>>("expected");
    QTest::newRow("none") << 0 << QList<QPoint>();
    QTest::newRow("one") << 1 << QList<QPoint>();
    QTest::newRow("two") << 2 << QList<QPoint> { { 0, 1 } };
    QTest::newRow("four") << 4
                          << QList<QPoint> { { 0, 1 }, { 0, 2 }, { 1, 2 }, { 0, 3 }, { 1, 3 },
                                 { 2, 3 } };
}

void TestPhotoDropArrangement::combinationsOrder()
{
    QFETCH(int, count);
    QFETCH(QList<QPoint>, expected);
    const CombinationsContainer pairs(count);
    QCOMPARE(pairs.size(), std::ptrdiff_t(expected.size()));
    QList<QPoint> seen;
    for (auto it = pairs.begin(); it != pairs.end(); ++it)
        seen.append(QPoint((*it).first, (*it).second));
    QCOMPARE(seen, expected);
}

void TestPhotoDropArrangement::combinationsRandomAccess()
{
    // Jumping into the sequence (as the thread pool does for each block)
    // must give the same pair as walking to it.
    const int count = 300;
    const CombinationsContainer pairs(count);
    QCOMPARE(pairs.size(), std::ptrdiff_t(count * (count - 1) / 2));
    auto walker = pairs.begin();
    for (std::ptrdiff_t index = 0; index < pairs.size(); ++index, ++walker) {
        const IndexPair walked = *walker;
        auto jumped = pairs.begin();
        jumped += index;
        const IndexPair direct = *jumped;
        if (walked.first != direct.first || walked.second != direct.second)
            QFAIL(qPrintable(QStringLiteral("pair %1 differs").arg(index)));
        QVERIFY(walked.first >= 0 && walked.first < walked.second && walked.second < count);
    }
    QCOMPARE(walker, pairs.end());
    const IndexPair last = *(pairs.end() - 1);
    QCOMPARE(last.first, count - 2);
    QCOMPARE(last.second, count - 1);
}

void TestPhotoDropArrangement::boundCombinationsOrder()
{
    const OrederedCombiantioinsConatiner pairs(3, 4);
    QCOMPARE(pairs.size(), std::ptrdiff_t(12));
    int index = 0;
    for (auto it = pairs.begin(); it != pairs.end(); ++it, ++index) {
        QCOMPARE((*it).first, index / 4);
        QCOMPARE((*it).second, index % 4);
    }
}

void TestPhotoDropArrangement::unitSize_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSizeF>("expected");
    QTest::newRow("landscape") << QSize(400, 300) << QSizeF(1, 0.75);
    QTest::newRow("portrait") << QSize(300, 400) << QSizeF(0.75, 1);
    QTest::newRow("square") << QSize(77, 77) << QSizeF(1, 1);
    QTest::newRow("invalid") << QSize() << QSizeF(0, 0);
    QTest::newRow("no height") << QSize(300, 0) << QSizeF(0, 0);
}

void TestPhotoDropArrangement::unitSize()
{
    QFETCH(QSize, size);
    QFETCH(QSizeF, expected);
    QCOMPARE(PhotoDropArrangement::unitSize(size), expected);
}

void TestPhotoDropArrangement::collisionRect_data()
{
    QTest::addColumn<QSizeF>("unit");
    QTest::addColumn<qreal>("frame");
    QTest::addColumn<QSizeF>("expected");
    QTest::newRow("landscape 0.08") << QSizeF(1, 0.75) << 0.08 << QSizeF(0.92 + 0.06, 0.69 + 0.06);
    QTest::newRow("portrait 0.08") << QSizeF(0.75, 1) << 0.08 << QSizeF(0.69 + 0.06, 0.92 + 0.06);
    QTest::newRow("no frame") << QSizeF(1, 0.5) << 0.0 << QSizeF(1, 0.5);
    QTest::newRow("square 0.2") << QSizeF(1, 1) << 0.2 << QSizeF(1, 1);
}

void TestPhotoDropArrangement::collisionRect()
{
    QFETCH(QSizeF, unit);
    QFETCH(qreal, frame);
    QFETCH(QSizeF, expected);
    const QRectF rect = PhotoDropArrangement::collisionRect(unit, frame);
    QVERIFY(qAbs(rect.width() - expected.width()) < 1e-12);
    QVERIFY(qAbs(rect.height() - expected.height()) < 1e-12);
    QVERIFY(qAbs(rect.center().x()) < 1e-12 && qAbs(rect.center().y()) < 1e-12);
}

void TestPhotoDropArrangement::randomPlacement_data()
{
    QTest::addColumn<QSize>("imageSize");
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<int>("photoCount");
    QTest::addColumn<qreal>("zero");
    QTest::addColumn<qreal>("variation");
    QTest::newRow("landscape on landscape")
        << QSize(400, 300) << QSizeF(3000, 2000) << 5 << 0.0 << 15.0;
    QTest::newRow("portrait on landscape")
        << QSize(300, 400) << QSizeF(3000, 2000) << 3 << 0.0 << 35.0;
    QTest::newRow("wide, turned zero")
        << QSize(900, 300) << QSizeF(2000, 3000) << 8 << 30.0 << 10.0;
    QTest::newRow("square, full turn") << QSize(50, 50) << QSizeF(1000, 1000) << 20 << 0.0 << 180.0;
    QTest::newRow("no rotation") << QSize(640, 480) << QSizeF(800, 600) << 2 << 0.0 << 0.0001;
}

void TestPhotoDropArrangement::randomPlacement()
{
    QFETCH(QSize, imageSize);
    QFETCH(QSizeF, page);
    QFETCH(int, photoCount);
    QFETCH(qreal, zero);
    QFETCH(qreal, variation);
    RandomGenerator::seed(7);
    const QSizeF unit = PhotoDropArrangement::unitSize(imageSize);
    const QRectF local(QPointF(-unit.width() / 2, -unit.height() / 2), unit);
    const QSizeF fitted = unit.scaled(page, Qt::KeepAspectRatio);
    for (int draw = 0; draw < 300; ++draw) {
        const PhotoDropPlacement p
            = PhotoDropArrangement::randomPlacement(unit, page, photoCount, zero, variation);
        // Rotations come in steps of two thousandths from -1 up to 0.998.
        QVERIFY(p.rotationRelative >= -1.0 && p.rotationRelative <= 0.998 + 1e-12);
        const double steps = (p.rotationRelative + 1.0) * 500.0;
        QVERIFY(qAbs(steps - std::round(steps)) < 1e-9);
        // The turned photo's box gets the n-th part of the area it could fill.
        const qreal degrees
            = PhotoDropArrangement::rotationDegrees(p.rotationRelative, zero, variation);
        const QRectF box = QTransform().scale(p.zoom, p.zoom).rotate(degrees).mapRect(local);
        const double share = fitted.width() * fitted.height() / photoCount;
        QVERIFY2(qAbs(box.width() * box.height() - share) < 1e-6 * share,
            qPrintable(QStringLiteral("%1 vs %2").arg(box.width() * box.height()).arg(share)));
        // The box stays on the page when it fits.
        const QRectF placed = box.translated(p.position);
        if (box.width() <= page.width() && box.height() <= page.height()) {
            QVERIFY(placed.left() >= -1e-9 && placed.top() >= -1e-9);
            QVERIFY(placed.right() <= page.width() + 1e-9);
            QVERIFY(placed.bottom() <= page.height() + 1e-9);
        }
    }
}

void TestPhotoDropArrangement::randomPlacementIsSeeded()
{
    const QSizeF unit(1, 0.75);
    RandomGenerator::seed(99);
    const PhotoDropPlacement a
        = PhotoDropArrangement::randomPlacement(unit, QSizeF(800, 600), 4, 0, 15);
    const PhotoDropPlacement b
        = PhotoDropArrangement::randomPlacement(unit, QSizeF(800, 600), 4, 0, 15);
    RandomGenerator::seed(99);
    const PhotoDropPlacement c
        = PhotoDropArrangement::randomPlacement(unit, QSizeF(800, 600), 4, 0, 15);
    QCOMPARE(c.position, a.position);
    QCOMPARE(c.zoom, a.zoom);
    QCOMPARE(c.rotationRelative, a.rotationRelative);
    QVERIFY(!(a.position == b.position) || a.rotationRelative != b.rotationRelative);

    // Three draws per photo: the rotation, then y, then x.
    RandomGenerator::seed(5);
    const int kr = RandomGenerator::thousandth();
    const int ky = RandomGenerator::thousandth();
    const int kx = RandomGenerator::thousandth();
    RandomGenerator::seed(5);
    const PhotoDropPlacement d
        = PhotoDropArrangement::randomPlacement(QSizeF(1, 1), QSizeF(1000, 1000), 1, 0, 0.0001);
    QCOMPARE(d.rotationRelative, 2.0 * kr / 1000.0 - 1.0);
    // Unturned square of the whole page: the allowed centres are one point.
    QVERIFY(qAbs(d.zoom - 1000.0) < 1e-3);
    QVERIFY(qAbs(d.position.x() - 500.0) < 1e-3 && qAbs(d.position.y() - 500.0) < 1e-3);
    RandomGenerator::seed(5);
    const PhotoDropPlacement e
        = PhotoDropArrangement::randomPlacement(QSizeF(1, 1), QSizeF(1000, 1000), 4, 0, 0.0001);
    // Quarter area: side 500, centres in [250, 750].
    QVERIFY(qAbs(e.position.x() - (250.0 + 500.0 * kx / 1000.0)) < 1e-3);
    QVERIFY(qAbs(e.position.y() - (250.0 + 500.0 * ky / 1000.0)) < 1e-3);
}

void TestPhotoDropArrangement::intersectionCenter()
{
    // Against Qt's general polygon clipping: the centre lies inside the
    // overlap Qt finds, for rotated rectangles in every relation.
    QRandomGenerator random(1234);
    int overlapping = 0;
    for (int k = 0; k < 500; ++k) {
        const QRectF rectA(-0.5, -0.4, 1.0, 0.8);
        const QRectF rectB(-0.3, -0.5, 0.6, 1.0);
        const QPolygonF a = QTransform()
                                .translate(random.bounded(100.0), random.bounded(100.0))
                                .scale(40, 40)
                                .rotate(random.bounded(360.0))
                                .map(QPolygonF(rectA));
        const QPolygonF b = QTransform()
                                .translate(random.bounded(100.0), random.bounded(100.0))
                                .scale(30 + random.bounded(30.0), 30 + random.bounded(30.0))
                                .rotate(random.bounded(360.0))
                                .map(QPolygonF(rectB));
        const QPolygonF qtOverlap = a.intersected(b);
        QPointF center;
        const bool found = PhotoDropArrangement::intersectionCenter(a, b, &center);
        const double area = polygonArea(qtOverlap);
        if (area > 1.0) {
            QVERIFY2(found, qPrintable(QStringLiteral("case %1 missed").arg(k)));
            QVERIFY(qtOverlap.containsPoint(center, Qt::OddEvenFill));
            ++overlapping;
        } else if (area == 0.0) {
            QVERIFY2(!found, qPrintable(QStringLiteral("case %1 invented an overlap").arg(k)));
        }
    }
    QVERIFY(overlapping > 50);

    // The closing point counts: a square overlap of corners 0, 2 (clipped
    // from a's first corner on) averages five points.
    const QPolygonF a(QRectF(0, 0, 2, 2));
    const QPolygonF b(QRectF(-1, -1, 10, 10));
    QPointF center;
    QVERIFY(PhotoDropArrangement::intersectionCenter(a, b, &center));
    QVERIFY(qAbs(center.x() - 2.0 / 5.0 * 2.0) < 1e-12);
    QVERIFY(qAbs(center.y() - 2.0 / 5.0 * 2.0) < 1e-12);
}

void TestPhotoDropArrangement::intersectionCenterOfDisjointOrTouching_data()
{
    QTest::addColumn<QRectF>("a");
    QTest::addColumn<QRectF>("b");
    QTest::newRow("apart") << QRectF(0, 0, 1, 1) << QRectF(3, 3, 1, 1);
    QTest::newRow("sharing an edge") << QRectF(0, 0, 1, 1) << QRectF(1, 0, 1, 1);
    QTest::newRow("sharing a corner") << QRectF(0, 0, 1, 1) << QRectF(1, 1, 1, 1);
    QTest::newRow("degenerate") << QRectF(0, 0, 1, 1) << QRectF(0.5, 0.5, 0, 0);
}

void TestPhotoDropArrangement::intersectionCenterOfDisjointOrTouching()
{
    QFETCH(QRectF, a);
    QFETCH(QRectF, b);
    QPointF center;
    QVERIFY(!PhotoDropArrangement::intersectionCenter(QPolygonF(a), QPolygonF(b), &center));
    QVERIFY(!PhotoDropArrangement::intersectionCenter(QPolygonF(b), QPolygonF(a), &center));
}

void TestPhotoDropArrangement::pushDirection_data()
{
    QTest::addColumn<QPointF>("center");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<QPointF>("expectedForce");
    QTest::newRow("normalised") << QPointF(10, 10) << QPointF(7, 6) << QPointF(0.6 * 2, 0.8 * 2);
    QTest::newRow("unit length as it is") << QPointF(0, 0) << QPointF(-1, 0) << QPointF(2, 0);
    QTest::newRow("centre on the overlap") << QPointF(5, 5) << QPointF(5, 5) << QPointF(0, 0);
}

void TestPhotoDropArrangement::pushDirection()
{
    QFETCH(QPointF, center);
    QFETCH(QPointF, point);
    QFETCH(QPointF, expectedForce);
    QScopedPointer<TemporyItemData> item(makeItem(center, 1, QRectF(-0.5, -0.5, 1, 1)));
    PhotoDropArrangement::push(*item, point, 2.0, 0);
    item->collectPushes();
    QVERIFY(qAbs(item->force[0] - expectedForce.x()) < 1e-5);
    QVERIFY(qAbs(item->force[1] - expectedForce.y()) < 1e-5);
    // The push counts as pressure even when it cannot move the photo.
    QCOMPARE(item->pressure, 2.0);
}

void TestPhotoDropArrangement::startGeometry()
{
    // A landscape photo turned by 90 degrees.
    QScopedPointer<TemporyItemData> item(makeItem(QPointF(100, 50), 10, QRectF(-1, -0.5, 2, 1)));
    item->rotation = 90;
    item->force[0] = 3;
    item->pressure = 4;
    item->start();
    QCOMPARE(item->polygon.size(), 5);
    QVERIFY(item->polygon.isClosed());
    QCOMPARE(item->center, QPointF(100, 50));
    QVERIFY(qAbs(item->area - 200.0) < 1e-9);
    QVERIFY(qAbs(item->shortSide - 10.0) < 1e-9);
    QVERIFY(qAbs(item->radius - std::sqrt(125.0f)) < 1e-4);
    QVERIFY(QLineF(item->polygon[0], QPointF(105, 40)).length() < 1e-9);
    QCOMPARE(item->force[0], 0.0f);
    QCOMPARE(item->pressure, 0.0);
}

void TestPhotoDropArrangement::bounds()
{
    PhotoDropArrangement arrangement(QSizeF(300, 200), {});
    const auto &bounds = arrangement.bounds();
    QCOMPARE(int(bounds.size()), 4);
    QCOMPARE(bounds[0].point, QPointF(0, 0));
    QCOMPARE(bounds[1].point, QPointF(300, 0));
    QCOMPARE(bounds[2].point, QPointF(300, 200));
    QCOMPARE(bounds[3].point, QPointF(0, 200));
    QCOMPARE(QPointF(bounds[0].normalX, bounds[0].normalY), QPointF(1, 0));
    QCOMPARE(QPointF(bounds[1].normalX, bounds[1].normalY), QPointF(0, 1));
    QCOMPARE(QPointF(bounds[2].normalX, bounds[2].normalY), QPointF(-1, 0));
    QCOMPARE(QPointF(bounds[3].normalX, bounds[3].normalY), QPointF(0, -1));
}

void TestPhotoDropArrangement::onePhotoGrows()
{
    // No pairs and no contact: 10 % per pass until a corner leaves the page,
    // then the bounds hold it and push it back inside.
    PhotoDropArrangement::Photo photo;
    photo.placement.position = QPointF(1500, 1000);
    photo.placement.zoom = 100;
    photo.rotation = 10;
    photo.rect = PhotoDropArrangement::collisionRect(QSizeF(1, 0.75), 0.08);
    PhotoDropArrangement arrangement(QSizeF(3000, 2000), { photo });
    arrangement.run(0); // one pass
    QVERIFY(qAbs(arrangement.placement(0).zoom - 110.0) < 1e-9);
    QCOMPARE(arrangement.placement(0).position, QPointF(1500, 1000));

    qreal zoom = arrangement.placement(0).zoom;
    int pass = 1;
    bool outside = false;
    while (!outside && pass < 100) {
        arrangement.pass();
        ++pass;
        const qreal next = arrangement.placement(0).zoom;
        if (!outside) {
            QVERIFY2(qAbs(next - 1.1 * zoom) < 1e-9 * next, qPrintable(QString::number(pass)));
        }
        zoom = next;
        const QPolygonF polygon = photoPolygon(arrangement.placement(0), 10, photo.rect);
        outside = !QRectF(0, 0, 3000, 2000).contains(polygon.boundingRect());
    }
    QVERIFY(outside);
    arrangement.run(500);
    const PhotoDropPlacement end = arrangement.placement(0);
    const QRectF box = photoPolygon(end, 10, photo.rect).boundingRect();
    // It grew to about the page's height and stays near the page.
    QVERIFY2(box.height() > 1800 && box.height() < 2100, qPrintable(QString::number(box.height())));
    QVERIFY(box.top() > -60 && box.bottom() < 2060);
    QVERIFY(box.left() > -60 && box.right() < 3060);
}

void TestPhotoDropArrangement::onePhotoOutsideIsPushedBack()
{
    // A small photo thrown half off the page's left edge comes back in.
    PhotoDropArrangement::Photo photo;
    photo.placement.position = QPointF(0, 500);
    photo.placement.zoom = 100;
    photo.rect = QRectF(-0.5, -0.5, 1, 1);
    PhotoDropArrangement arrangement(QSizeF(1000, 1000), { photo });
    arrangement.run(500);
    const QRectF box = photoPolygon(arrangement.placement(0), 0, photo.rect).boundingRect();
    QVERIFY2(box.left() > -20, qPrintable(QString::number(box.left())));
    QVERIFY(box.width() > 900);
}

void TestPhotoDropArrangement::overlapSeparation_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<qreal>("variation");
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<qreal>("squeeze");
    QTest::addColumn<qreal>("minimumCoverage");
    // Thrown as the theme throws new photos.
    QTest::newRow("3 on landscape") << 3 << QSizeF(3000, 2000) << 15.0 << quint64(1) << 1.0 << 0.3;
    QTest::newRow("8 on landscape") << 8 << QSizeF(3000, 2000) << 15.0 << quint64(2) << 1.0 << 0.3;
    QTest::newRow("20 on portrait") << 20 << QSizeF(2000, 3000) << 30.0 << quint64(3) << 1.0 << 0.3;
    QTest::newRow("40 on square, straight")
        << 40 << QSizeF(1000, 1000) << 0.0001 << quint64(4) << 1.0 << 0.3;
    // Heaped in the middle: the photos first shrink out of each other's way.
    QTest::newRow("20 heaped") << 20 << QSizeF(3000, 2000) << 20.0 << quint64(5) << 0.3 << 0.0;
}

void TestPhotoDropArrangement::overlapSeparation()
{
    QFETCH(int, count);
    QFETCH(QSizeF, page);
    QFETCH(qreal, variation);
    QFETCH(quint64, seed);
    QFETCH(qreal, squeeze);
    QFETCH(qreal, minimumCoverage);
    RandomGenerator::seed(seed);
    std::vector<PhotoDropArrangement::Photo> photos = throwPile(count, page, variation);
    const QPointF middle(page.width() / 2, page.height() / 2);
    for (auto &photo : photos)
        photo.placement.position = middle + (photo.placement.position - middle) * squeeze;
    std::vector<QPolygonF> before;
    for (const auto &photo : photos)
        before.push_back(photoPolygon(photo.placement, photo.rotation, photo.rect));

    PhotoDropArrangement arrangement(page, photos);
    arrangement.run(500);
    std::vector<QPolygonF> after;
    double photoArea = 0;
    for (int k = 0; k < count; ++k) {
        after.push_back(photoPolygon(arrangement.placement(k), photos[k].rotation, photos[k].rect));
        photoArea += polygonArea(after.back());
    }
    const double overlapBefore = totalOverlap(before);
    const double overlapAfter = totalOverlap(after);
    QVERIFY(overlapBefore > 0);
    QVERIFY2(overlapAfter < 0.2 * overlapBefore,
        qPrintable(QStringLiteral("%1 -> %2").arg(overlapBefore).arg(overlapAfter)));
    // The photos use the page.
    QVERIFY2(photoArea >= minimumCoverage * page.width() * page.height(),
        qPrintable(QString::number(photoArea / (page.width() * page.height()))));
    // And they stay on it, up to the last small steps of the relaxation.
    const qreal tolerance = 0.05 * qMin(page.width(), page.height());
    const QRectF allowed
        = QRectF(QPointF(0, 0), page).adjusted(-tolerance, -tolerance, tolerance, tolerance);
    for (const QPolygonF &polygon : after) {
        const QRectF box = polygon.boundingRect();
        QVERIFY2(allowed.contains(box),
            qPrintable(QStringLiteral("%1 %2 %3 %4")
                           .arg(box.left())
                           .arg(box.top())
                           .arg(box.right())
                           .arg(box.bottom())));
    }
    // The rotations are the photos' own; the run only moves and scales.
    for (int k = 0; k < count; ++k)
        QCOMPARE(arrangement.placement(k).rotationRelative, photos[k].placement.rotationRelative);
}

void TestPhotoDropArrangement::sameResultOnAnyPool()
{
    // The pushes are summed in a fixed order, so the thread schedule does
    // not show in the result: a seeded layout is reproduced exactly.
    RandomGenerator::seed(11);
    const std::vector<PhotoDropArrangement::Photo> photos = throwPile(30, QSizeF(3000, 2000), 20);
    PhotoDropArrangement parallel(QSizeF(3000, 2000), photos);
    parallel.run(500);
    PhotoDropArrangement again(QSizeF(3000, 2000), photos);
    again.run(500);
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    PhotoDropArrangement single(QSizeF(3000, 2000), photos);
    single.run(500);
    for (int k = 0; k < 30; ++k) {
        QCOMPARE(again.placement(k).position, parallel.placement(k).position);
        QCOMPARE(single.placement(k).position, parallel.placement(k).position);
        QCOMPARE(single.placement(k).zoom, parallel.placement(k).zoom);
        QVERIFY(parallel.placement(k).position.x() == single.placement(k).position.x());
    }
}

void TestPhotoDropArrangement::zeroSizedPhotoDoesNotStopOthers()
{
    // A photo whose image has no size has no area: nothing divides by it,
    // and its zero short side does not freeze the others.
    PhotoDropArrangement::Photo broken;
    broken.placement.position = QPointF(500, 500);
    broken.placement.zoom = 200;
    broken.rect
        = PhotoDropArrangement::collisionRect(PhotoDropArrangement::unitSize(QSize()), 0.08);
    PhotoDropArrangement::Photo a;
    a.placement.position = QPointF(480, 500);
    a.placement.zoom = 300;
    a.rect = QRectF(-0.5, -0.5, 1, 1);
    PhotoDropArrangement::Photo b = a;
    b.placement.position = QPointF(520, 500);
    PhotoDropArrangement arrangement(QSizeF(1000, 1000), { broken, a, b });
    arrangement.run(500);
    for (int k = 0; k < 3; ++k) {
        QVERIFY(std::isfinite(arrangement.placement(k).position.x()));
        QVERIFY(std::isfinite(arrangement.placement(k).position.y()));
        QVERIFY(std::isfinite(arrangement.placement(k).zoom));
    }
    // The two real photos slid apart.
    QVERIFY(arrangement.placement(2).position.x() - arrangement.placement(1).position.x() > 200);
}

void TestPhotoDropArrangement::emptyRun()
{
    PhotoDropArrangement arrangement(QSizeF(100, 100), {});
    arrangement.run(500);
    QCOMPARE(arrangement.count(), 0);
}

QTEST_GUILESS_MAIN(TestPhotoDropArrangement)
#include "tst_photodroparrangement.moc"
