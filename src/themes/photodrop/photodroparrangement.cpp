#include "photodroparrangement.h"

#include <QLineF>
#include <QMutexLocker>
#include <QThreadPool>

#include "model/randomgenerator.h"
#include "themes/photodrop/passworkers.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Tuning of the relaxation.
// Each pass moves the zoom a tenth of the way to the size at which the
// photo's pressure balances its area: slow enough that neighbours settle
// together instead of swinging.
constexpr qreal ZoomKeep = 0.9;
constexpr qreal ZoomFollow = 0.1;
// Nor may one pass change the zoom by more than a tenth either way.
constexpr qreal ZoomShrinkLimit = 0.9;
constexpr qreal ZoomGrowLimit = 1.1;
// A photo that nothing presses wants to be a hundred times larger; the
// step limit turns that into steady growth until it meets something.
constexpr qreal FreeGrowth = 100.0;
// Pressure at or below this counts as none (it would overflow the target).
constexpr double NoPressure = 1e-12;
// The zoom never reaches zero, so a squeezed photo can grow back.
constexpr qreal MinimumZoom = 1e-5;
// The photo pushed hardest moves this share of the smallest short side per
// pass: small enough that overlaps shrink without jumping past each other.
constexpr double PositionStep = 0.01;
// A push direction whose length is this close to 1 is taken as it is, and
// one this close to 0 has no direction.
constexpr float DirectionTolerance = 1e-5f;
// Clipped outlines that share less than this part of the smaller one only
// touch along an edge; rounding leaves them a sliver of area.
constexpr double TouchingAreaShare = 1e-9;
constexpr int MaxClipPoints = 16;

inline double cross(const QPointF &a, const QPointF &b, const QPointF &p)
{
    return (b.x() - a.x()) * (p.y() - a.y()) - (b.y() - a.y()) * (p.x() - a.x());
}

double signedArea(const QPointF *points, int count)
{
    double sum = 0.0;
    for (int k = 0; k < count; ++k) {
        const QPointF &p = points[k];
        const QPointF &q = points[(k + 1) % count];
        sum += p.x() * q.y() - q.x() * p.y();
    }
    return sum / 2.0;
}

// Clips the convex polygon subject by every edge of the convex polygon clip
// (Sutherland-Hodgman). Both are rotated rectangles mapped by a transform
// with positive scale, so both run the same way round and "inside" is the
// non-negative side of each clip edge. Returns the number of points in out.
int clipConvex(
    const QPointF *subject, int subjectCount, const QPointF *clip, int clipCount, QPointF *out)
{
    QPointF buffers[2][MaxClipPoints];
    int count = subjectCount;
    std::copy(subject, subject + subjectCount, buffers[0]);
    int current = 0;
    for (int e = 0; e < clipCount && count > 0; ++e) {
        const QPointF &a = clip[e];
        const QPointF &b = clip[(e + 1) % clipCount];
        const QPointF *in = buffers[current];
        QPointF *result = buffers[1 - current];
        int resultCount = 0;
        for (int k = 0; k < count; ++k) {
            const QPointF &point = in[k];
            const QPointF &previous = in[(k + count - 1) % count];
            const double sidePoint = cross(a, b, point);
            const double sidePrevious = cross(a, b, previous);
            const bool pointInside = sidePoint >= 0.0;
            const bool previousInside = sidePrevious >= 0.0;
            if (pointInside != previousInside && resultCount < MaxClipPoints) {
                const double t = sidePrevious / (sidePrevious - sidePoint);
                result[resultCount++] = previous + (point - previous) * t;
            }
            if (pointInside && resultCount < MaxClipPoints)
                result[resultCount++] = point;
        }
        count = resultCount;
        current = 1 - current;
    }
    std::copy(buffers[current], buffers[current] + count, out);
    return count;
}

} // namespace

// ---------------------------------------------------------------------------

void TemporyItemData::start()
{
    matrix = QTransform()
                 .translate(transform.position.x(), transform.position.y())
                 .scale(transform.zoom, transform.zoom)
                 .rotate(rotation);
    polygon = matrix.map(QPolygonF(rect));
    center = matrix.map(rect.center());
    area = rect.width() * rect.height() * transform.zoom * transform.zoom;
    const QPointF *points = polygon.constData();
    // The shorter side: left side for a landscape rectangle, top side else.
    shortSide = rect.width() > rect.height() ? QLineF(points[0], points[3]).length()
                                             : QLineF(points[0], points[1]).length();
    const float dx = float(points[0].x()) - float(center.x());
    const float dy = float(points[0].y()) - float(center.y());
    radius = std::sqrt(dx * dx + dy * dy);
    force[0] = force[1] = 0.0f;
    pressure = 0.0;
    pushes.clear();
}

void TemporyItemData::addPush(quint32 order, float x, float y, double weight)
{
    QMutexLocker locker(&mutex);
    pushes.push_back({ order, x, y, weight });
}

void TemporyItemData::collectPushes()
{
    std::sort(pushes.begin(), pushes.end(),
        [](const Push &a, const Push &b) { return a.order < b.order; });
    force[0] = force[1] = 0.0f;
    pressure = 0.0;
    for (const Push &p : pushes) {
        force[0] += p.x;
        force[1] += p.y;
        pressure += p.weight;
    }
}

// ---------------------------------------------------------------------------

CombinationsContainer::CombinationsContainer(int count)
    : m_count(qMax(count, 0))
{
}

std::ptrdiff_t CombinationsContainer::size() const
{
    return std::ptrdiff_t(m_count) * (m_count - 1) / 2;
}

IndexPair CombinationsContainer::pairAt(std::ptrdiff_t index)
{
    // Pairs ending in j start at index j (j - 1) / 2; the root finds j up
    // to rounding, the loops settle it.
    auto second = std::ptrdiff_t((1.0 + std::sqrt(1.0 + 8.0 * double(index))) / 2.0);
    while (second * (second - 1) / 2 > index)
        --second;
    while ((second + 1) * second / 2 <= index)
        ++second;
    return { int(index - second * (second - 1) / 2), int(second) };
}

OrederedCombiantioinsConatiner::OrederedCombiantioinsConatiner(int count, int boundCount)
    : m_count(qMax(count, 0))
    , m_boundCount(qMax(boundCount, 1))
{
}

// ---------------------------------------------------------------------------

PhotoDropArrangement::PhotoDropArrangement(const QSizeF &pageSize, const std::vector<Photo> &photos)
    : m_items(photos.size())
{
    for (std::size_t k = 0; k < photos.size(); ++k) {
        TemporyItemData &item = m_items[k];
        item.transform = photos[k].placement;
        item.rotation = photos[k].rotation;
        item.rect = photos[k].rect;
        item.pushes.reserve(8);
    }
    const qreal w = pageSize.width();
    const qreal h = pageSize.height();
    m_bounds = {
        { QPointF(0, 0), 1.0f, 0.0f }, // left
        { QPointF(w, 0), 0.0f, 1.0f }, // top
        { QPointF(w, h), -1.0f, 0.0f }, // right
        { QPointF(0, h), 0.0f, -1.0f }, // bottom
    };
}

void PhotoDropArrangement::run(int passes)
{
    if (m_items.empty())
        return;
    switch (m_threading) {
    case Threading::Automatic:
        m_parallel
            = count() >= parallelPhotoCount && QThreadPool::globalInstance()->maxThreadCount() > 1;
        break;
    case Threading::Inline:
        m_parallel = false;
        break;
    case Threading::Pool:
        m_parallel = true;
        break;
    }
    m_reach.resize(m_items.size());
    std::unique_ptr<PassWorkers> workers;
    if (m_parallel)
        workers = std::make_unique<PassWorkers>(QThreadPool::globalInstance()->maxThreadCount());
    m_workers = workers.get();
    for (int k = 0; k <= passes; ++k)
        pass();
    m_workers = nullptr;
}

template<typename Work>
void PhotoDropArrangement::forEachRange(std::ptrdiff_t size, Work work) const
{
    if (m_workers)
        m_workers->forEachRange(size, work);
    else
        work(std::ptrdiff_t(0), size);
}

void PhotoDropArrangement::pass()
{
    startStep();
    collisionStep();
    const Extremums extremums = reduceStep();
    positionStep(extremums);
}

void PhotoDropArrangement::startStep()
{
    forEachRange(count(), [this](std::ptrdiff_t begin, std::ptrdiff_t end) {
        for (std::ptrdiff_t k = begin; k < end; ++k) {
            TemporyItemData &item = m_items[std::size_t(k)];
            item.start();
            m_reach[std::size_t(k)]
                = { float(item.center.x()), float(item.center.y()), item.radius, item.area != 0.0 };
            pushInside(int(k));
        }
    });
}

void PhotoDropArrangement::collisionStep()
{
    const Reach *reach = m_reach.data();
    TemporyItemData *items = m_items.data();
    forEachRange(
        CombinationsContainer(count()).size(), [=](std::ptrdiff_t begin, std::ptrdiff_t end) {
            // Walk the pairs from the first of the range instead of solving for
            // each one.
            IndexPair pair = CombinationsContainer::pairAt(begin);
            for (std::ptrdiff_t index = begin; index < end; ++index) {
                const Reach &ra = reach[pair.first];
                const Reach &rb = reach[pair.second];
                // Far apart: the circles around the two photos do not meet. A
                // photo without area has no inside to overlap with.
                const float dx = ra.x - rb.x;
                const float dy = ra.y - rb.y;
                const float sum = ra.radius + rb.radius;
                if (dx * dx + dy * dy <= sum * sum && ra.hasArea && rb.hasArea) {
                    TemporyItemData &a = items[pair.first];
                    TemporyItemData &b = items[pair.second];
                    QPointF center;
                    if (intersectionCenter(a.polygon, b.polygon, &center)) {
                        push(b, center, 1.0 / a.area, quint32(index));
                        push(a, center, 1.0 / b.area, quint32(index));
                    }
                }
                if (++pair.first == pair.second) {
                    pair.first = 0;
                    ++pair.second;
                }
            }
        });
}

void PhotoDropArrangement::pushInside(int index)
{
    TemporyItemData &item = m_items[std::size_t(index)];
    if (item.area == 0.0)
        return;
    // The page edges push after every pair of photos.
    const int boundCount = int(m_bounds.size());
    const std::ptrdiff_t firstOrder = CombinationsContainer(count()).size();
    const QPointF *points = item.polygon.constData();
    const int pointCount = int(item.polygon.size());
    for (int b = 0; b < boundCount; ++b) {
        const Bound &bound = m_bounds[std::size_t(b)];
        float nearest = std::numeric_limits<float>::infinity();
        for (int k = 0; k < pointCount; ++k) {
            const float distance = (float(points[k].x()) - float(bound.point.x())) * bound.normalX
                + (float(points[k].y()) - float(bound.point.y())) * bound.normalY;
            if (distance < nearest)
                nearest = distance;
        }
        if (nearest < 0.0f) {
            const double weight = 1.0 / item.area;
            const auto order
                = firstOrder + OrederedCombiantioinsConatiner::indexOf(index, b, boundCount);
            item.addPush(quint32(order), float(bound.normalX * weight),
                float(bound.normalY * weight), weight);
        }
    }
}

Extremums PhotoDropArrangement::reduceStep()
{
    // Maximum and minimum do not depend on the order the ranges finish in.
    Extremums result;
    QMutex resultMutex;
    forEachRange(count(), [&](std::ptrdiff_t begin, std::ptrdiff_t end) {
        Extremums range;
        for (std::ptrdiff_t k = begin; k < end; ++k) {
            TemporyItemData &item = m_items[std::size_t(k)];
            item.collectPushes();
            range.maxForce = std::max(
                range.maxForce, std::hypot(double(item.force[0]), double(item.force[1])));
            // A photo without a valid image has no size; it must not stop the others.
            if (item.shortSide > 0.0)
                range.minShortSide = std::min(range.minShortSide, item.shortSide);
            item.transform.zoom = nextZoom(item);
        }
        QMutexLocker locker(&resultMutex);
        result.maxForce = std::max(result.maxForce, range.maxForce);
        result.minShortSide = std::min(result.minShortSide, range.minShortSide);
    });
    return result;
}

qreal PhotoDropArrangement::nextZoom(const TemporyItemData &item)
{
    const qreal zoom = item.transform.zoom;
    const qreal target = std::abs(item.pressure) <= NoPressure
        ? zoom * FreeGrowth
        : std::sqrt(1.0 / (item.rect.width() * item.rect.height() * item.pressure));
    qreal next = ZoomKeep * zoom + ZoomFollow * target;
    next = std::min(std::max(next, ZoomShrinkLimit * zoom), ZoomGrowLimit * zoom);
    return std::max(next, MinimumZoom);
}

void PhotoDropArrangement::positionStep(const Extremums &extremums)
{
    if (extremums.maxForce == 0.0 || !std::isfinite(extremums.minShortSide))
        return;
    const double step = PositionStep * extremums.minShortSide / extremums.maxForce;
    // A few additions a photo: cheaper here than handed to the pool.
    for (TemporyItemData &item : m_items)
        item.transform.position += QPointF(item.force[0] * step, item.force[1] * step);
}

// ---------------------------------------------------------------------------

QSizeF PhotoDropArrangement::unitSize(const QSize &displayedSize)
{
    const int w = displayedSize.width();
    const int h = displayedSize.height();
    if (w <= 0 || h <= 0)
        return QSizeF(0, 0);
    const qreal longSide = qMax(w, h);
    return QSizeF(w / longSide, h / longSide);
}

QRectF PhotoDropArrangement::collisionRect(const QSizeF &unitSize, qreal frameSize)
{
    const QSizeF photo = unitSize * (1.0 - frameSize);
    const qreal thickness = frameSize * qMin(unitSize.width(), unitSize.height()) / 2.0;
    const QSizeF outer(photo.width() + 2 * thickness, photo.height() + 2 * thickness);
    return QRectF(QPointF(-outer.width() / 2, -outer.height() / 2), outer);
}

qreal PhotoDropArrangement::rotationDegrees(qreal rotationRelative, qreal zero, qreal variation)
{
    return rotationRelative * variation + zero;
}

PhotoDropPlacement PhotoDropArrangement::randomPlacement(
    const QSizeF &unitSize, const QSizeF &pageSize, int photoCount, qreal zero, qreal variation)
{
    PhotoDropPlacement placement;
    const QSizeF fitted = unitSize.scaled(pageSize, Qt::KeepAspectRatio);
    placement.rotationRelative = 2.0 * (RandomGenerator::thousandth() / 1000.0) - 1.0;
    const qreal degrees = rotationDegrees(placement.rotationRelative, zero, variation);
    const QRectF local(QPointF(-unitSize.width() / 2, -unitSize.height() / 2), unitSize);
    const QRectF box = QTransform().rotate(degrees).mapRect(local);
    qreal zoom = std::sqrt(
        (fitted.width() * fitted.height()) / (qMax(photoCount, 1) * box.width() * box.height()));
    // A photo without a valid size has no box to fit; keep a finite zoom.
    if (!std::isfinite(zoom) || zoom <= 0.0)
        zoom = 1.0;
    placement.zoom = zoom;
    const QRectF scaledBox = QTransform().scale(zoom, zoom).rotate(degrees).mapRect(local);
    const QRectF allowed = QRectF(QPointF(0, 0), pageSize)
                               .adjusted(-scaledBox.left(), -scaledBox.top(), -scaledBox.right(),
                                   -scaledBox.bottom());
    const int ky = RandomGenerator::thousandth();
    const int kx = RandomGenerator::thousandth();
    placement.position = QPointF(allowed.left() + allowed.width() * kx / 1000.0,
        allowed.top() + allowed.height() * ky / 1000.0);
    return placement;
}

bool PhotoDropArrangement::intersectionCenter(
    const QPolygonF &a, const QPolygonF &b, QPointF *center)
{
    // Closed polygons repeat their first point; clip the open quadrilaterals.
    const int countA = int(a.size()) > 1 && a.isClosed() ? int(a.size()) - 1 : int(a.size());
    const int countB = int(b.size()) > 1 && b.isClosed() ? int(b.size()) - 1 : int(b.size());
    if (countA < 3 || countB < 3 || countA > 8 || countB > 8)
        return false;
    // The clip outline must run the positive way round; a mirrored one is reversed.
    const QPointF *subject = a.constData();
    QPointF clip[8];
    std::copy(b.constData(), b.constData() + countB, clip);
    const double clipArea = signedArea(clip, countB);
    if (clipArea < 0.0)
        std::reverse(clip, clip + countB);
    // An outline without area has no inside to share.
    const double smaller = std::min(std::abs(signedArea(subject, countA)), std::abs(clipArea));
    if (!(smaller > 0.0))
        return false;
    QPointF points[MaxClipPoints];
    const int count = clipConvex(subject, countA, clip, countB, points);
    // Edges that only touch leave an overlap without area.
    if (count < 3 || std::abs(signedArea(points, count)) <= TouchingAreaShare * smaller)
        return false;
    QPointF sum = points[0]; // the closing point
    for (int k = 0; k < count; ++k)
        sum += points[k];
    *center = sum / (count + 1);
    return true;
}

void PhotoDropArrangement::push(
    TemporyItemData &photo, const QPointF &point, double weight, quint32 order)
{
    const float dx = float(photo.center.x()) - float(point.x());
    const float dy = float(photo.center.y()) - float(point.y());
    const float length = std::sqrt(dx * dx + dy * dy);
    float directionX = 0.0f;
    float directionY = 0.0f;
    if (std::abs(length - 1.0f) <= DirectionTolerance) {
        directionX = dx;
        directionY = dy;
    } else if (std::abs(length) > DirectionTolerance) {
        directionX = dx / length;
        directionY = dy / length;
    }
    // The weight counts as pressure even when the direction vanishes: a
    // photo centred on its overlap is held, only not moved, by that overlap.
    const float w = float(weight);
    photo.addPush(order, w * directionX, w * directionY, weight);
}
