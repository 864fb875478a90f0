#include "photodroparrangement.h"

#include <QLineF>
#include <QMutexLocker>
#include <QtConcurrent/QtConcurrentMap>

#include "model/randomgenerator.h"

#include <algorithm>
#include <cmath>

namespace {

// Below this many photos a step is a few microseconds of work, less than
// handing it to the thread pool and waiting for it to come back (on a busy
// machine, far less). The steps then run on the calling thread; the result
// is the same, since pushes are summed in iteration order either way.
constexpr int ParallelPhotoCount = 48;

template<typename Iterator, typename Function>
void forEach(bool parallel, Iterator begin, Iterator end, Function function)
{
    if (parallel) {
        QtConcurrent::blockingMap(begin, end, function);
        return;
    }
    for (Iterator it = begin; it != end; ++it)
        function(*it);
}

// Random-access iterator over the photo indexes 0 ... count - 1.
class PhotoIndexIterator
{
public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = int;
    using difference_type = std::ptrdiff_t;
    using pointer = const int *;
    using reference = int;

    explicit PhotoIndexIterator(int index = 0)
        : m_index(index)
    {
    }

    int operator*() const { return m_index; }
    PhotoIndexIterator &operator++()
    {
        ++m_index;
        return *this;
    }
    PhotoIndexIterator operator++(int)
    {
        PhotoIndexIterator old = *this;
        ++m_index;
        return old;
    }
    PhotoIndexIterator &operator--()
    {
        --m_index;
        return *this;
    }
    PhotoIndexIterator &operator+=(difference_type n)
    {
        m_index += int(n);
        return *this;
    }
    PhotoIndexIterator &operator-=(difference_type n)
    {
        m_index -= int(n);
        return *this;
    }
    PhotoIndexIterator operator+(difference_type n) const
    {
        return PhotoIndexIterator(m_index + int(n));
    }
    PhotoIndexIterator operator-(difference_type n) const
    {
        return PhotoIndexIterator(m_index - int(n));
    }
    difference_type operator-(const PhotoIndexIterator &other) const
    {
        return m_index - other.m_index;
    }
    int operator[](difference_type n) const { return m_index + int(n); }
    bool operator==(const PhotoIndexIterator &other) const { return m_index == other.m_index; }
    bool operator!=(const PhotoIndexIterator &other) const { return m_index != other.m_index; }
    bool operator<(const PhotoIndexIterator &other) const { return m_index < other.m_index; }

private:
    int m_index;
};

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
    // Pairs ending in j start at index j (j - 1) / 2.
    auto second = std::ptrdiff_t((1.0 + std::sqrt(1.0 + 8.0 * double(index))) / 2.0);
    while (second * (second - 1) / 2 > index)
        --second;
    while ((second + 1) * second / 2 <= index)
        ++second;
    return { int(index - second * (second - 1) / 2), int(second) };
}

CombinationsContainer::const_iterator::const_iterator(difference_type index)
    : m_index(index)
    , m_pair(index >= 0 ? pairAt(index) : IndexPair { 0, 1 })
{
}

CombinationsContainer::const_iterator &CombinationsContainer::const_iterator::operator++()
{
    ++m_index;
    if (++m_pair.first == m_pair.second) {
        m_pair.first = 0;
        ++m_pair.second;
    }
    return *this;
}

CombinationsContainer::const_iterator CombinationsContainer::const_iterator::operator++(int)
{
    const_iterator old = *this;
    ++*this;
    return old;
}

CombinationsContainer::const_iterator &CombinationsContainer::const_iterator::operator+=(
    difference_type n)
{
    if (n == 1)
        return ++*this;
    m_index += n;
    if (m_index >= 0)
        m_pair = pairAt(m_index);
    return *this;
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
    for (int k = 0; k <= passes; ++k)
        pass();
}

void PhotoDropArrangement::pass()
{
    startStep();
    collisionStep();
    boundsStep();
    const Extremums extremums = reduceStep();
    zoomStep();
    positionStep(extremums);
}

void PhotoDropArrangement::startStep()
{
    forEach(
        parallel(), m_items.begin(), m_items.end(), [](TemporyItemData &item) { item.start(); });
}

void PhotoDropArrangement::collisionStep()
{
    const CombinationsContainer pairs(count());
    TemporyItemData *items = m_items.data();
    forEach(parallel(), pairs.begin(), pairs.end(), [items](IndexPair pair) {
        TemporyItemData &a = items[pair.first];
        TemporyItemData &b = items[pair.second];
        // Far apart: the circles around the two photos do not meet.
        const float dx = float(a.center.x()) - float(b.center.x());
        const float dy = float(a.center.y()) - float(b.center.y());
        const float reach = a.radius + b.radius;
        if (dx * dx + dy * dy > reach * reach)
            return;
        // A photo without area has no inside to overlap with.
        if (a.area == 0.0 || b.area == 0.0)
            return;
        QPointF center;
        if (!intersectionCenter(a.polygon, b.polygon, &center))
            return;
        const quint32 order
            = quint32(CombinationsContainer::const_iterator::difference_type(pair.second)
                    * (pair.second - 1) / 2
                + pair.first);
        push(b, center, 1.0 / a.area, order);
        push(a, center, 1.0 / b.area, order);
    });
}

void PhotoDropArrangement::boundsStep()
{
    const OrederedCombiantioinsConatiner pairs(count(), int(m_bounds.size()));
    const quint32 firstOrder = quint32(CombinationsContainer(count()).size());
    const int boundCount = int(m_bounds.size());
    TemporyItemData *items = m_items.data();
    const Bound *bounds = m_bounds.data();
    forEach(parallel(), pairs.begin(), pairs.end(), [=](IndexPair pair) {
        TemporyItemData &item = items[pair.first];
        const Bound &bound = bounds[pair.second];
        if (item.area == 0.0)
            return;
        const QPointF *points = item.polygon.constData();
        const int pointCount = int(item.polygon.size());
        float nearest = std::numeric_limits<float>::infinity();
        for (int k = 0; k < pointCount; ++k) {
            const float distance = (float(points[k].x()) - float(bound.point.x())) * bound.normalX
                + (float(points[k].y()) - float(bound.point.y())) * bound.normalY;
            if (distance < nearest)
                nearest = distance;
        }
        if (nearest < 0.0f) {
            const double weight = 1.0 / item.area;
            item.addPush(firstOrder + quint32(pair.first * boundCount + pair.second),
                float(bound.normalX * weight), float(bound.normalY * weight), weight);
        }
    });
}

Extremums PhotoDropArrangement::reduceStep()
{
    TemporyItemData *items = m_items.data();
    const auto collect = [items](int index) {
        TemporyItemData &item = items[index];
        item.collectPushes();
        Extremums value;
        value.maxForce = std::hypot(double(item.force[0]), double(item.force[1]));
        // A photo without a valid image has no size; it must not stop the others.
        if (item.shortSide > 0.0)
            value.minShortSide = item.shortSide;
        return value;
    };
    const auto reduce = [](Extremums &result, const Extremums &value) {
        result.maxForce = std::max(result.maxForce, value.maxForce);
        result.minShortSide = std::min(result.minShortSide, value.minShortSide);
    };
    if (parallel()) {
        return QtConcurrent::blockingMappedReduced<Extremums>(PhotoIndexIterator(0),
            PhotoIndexIterator(count()), collect, reduce, Extremums(),
            QtConcurrent::UnorderedReduce);
    }
    Extremums result;
    for (int index = 0; index < count(); ++index)
        reduce(result, collect(index));
    return result;
}

bool PhotoDropArrangement::parallel() const
{
    return count() >= ParallelPhotoCount;
}

void PhotoDropArrangement::zoomStep()
{
    forEach(parallel(), m_items.begin(), m_items.end(), [](TemporyItemData &item) {
        const qreal zoom = item.transform.zoom;
        const qreal target = std::abs(item.pressure) <= 1e-12
            ? zoom * 100.0
            : std::sqrt(1.0 / (item.rect.width() * item.rect.height() * item.pressure));
        qreal next = 0.9 * zoom + 0.1 * target;
        next = std::min(std::max(next, 0.9 * zoom), 1.1 * zoom);
        item.transform.zoom = std::max(next, 1e-5);
    });
}

void PhotoDropArrangement::positionStep(const Extremums &extremums)
{
    if (extremums.maxForce == 0.0 || !std::isfinite(extremums.minShortSide))
        return;
    const double step = 0.01 * extremums.minShortSide / extremums.maxForce;
    forEach(parallel(), m_items.begin(), m_items.end(), [step](TemporyItemData &item) {
        item.transform.position += QPointF(item.force[0] * step, item.force[1] * step);
    });
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
    if (count < 3 || std::abs(signedArea(points, count)) <= 1e-9 * smaller)
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
    if (std::abs(length - 1.0f) <= 1e-5f) {
        directionX = dx;
        directionY = dy;
    } else if (std::abs(length) > 1e-5f) {
        directionX = dx / length;
        directionY = dy / length;
    }
    // The weight counts as pressure even when the direction vanishes: a
    // photo centred on its overlap is held, only not moved, by that overlap.
    const float w = float(weight);
    photo.addPush(order, w * directionX, w * directionY, weight);
}
