#pragma once

#include <QMutex>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QTransform>
#include <QtGlobal>

#include <cstddef>
#include <iterator>
#include <limits>
#include <vector>

// Where one photo of the pile lies: the centre on the page, the zoom (the
// page length of the photo's long side) and the rotation relative to the
// theme's rotation restriction, in [-1, 1].
struct PhotoDropPlacement
{
    QPointF position;
    qreal zoom = 1.0;
    qreal rotationRelative = 0.0;
};

// The working copy of one photo during an arrangement run.
//
//        polygon[0] ---------- polygon[1]
//            |   \ radius          |
//            |     center          |   rect: the collision rectangle in
//            |                     |   local units, centred on the origin;
//        polygon[3] ---------- polygon[2]   polygon: rect mapped to the page
//
// force and pressure collect the pushes of one pass. Workers that push the
// same photo at once hand their pushes in under the photo's mutex; they are
// summed in iteration order afterwards, so that a run gives the same result
// however the threads were scheduled.
struct TemporyItemData
{
    struct Push
    {
        quint32 order; // index of the pushing pair in its iteration space
        float x;
        float y;
        double weight;
    };

    PhotoDropPlacement transform;
    qreal rotation = 0.0; // degrees, fixed during a run
    QRectF rect;
    QPolygonF polygon;
    QTransform matrix;
    QPointF center;
    qreal area = 0.0;
    qreal shortSide = 0.0;
    float radius = 0.0f;
    float force[2] = { 0.0f, 0.0f };
    double pressure = 0.0;
    QMutex mutex;
    std::vector<Push> pushes;

    // Geometry from the current transform; clears the accumulators.
    void start();
    // Adds one push under the mutex.
    void addPush(quint32 order, float x, float y, double weight);
    // Sums the pushes of the pass into force and pressure.
    void collectPushes();
};

// Per-pass extremes over all photos.
struct Extremums
{
    double maxForce = 0.0;
    double minShortSide = std::numeric_limits<double>::infinity();
};

struct IndexPair
{
    int first;
    int second;
};

// Every unordered pair (i, j), i < j, of count photos in the order
// (0, 1), (0, 2), (1, 2), (0, 3), (1, 3), (2, 3), ...
class CombinationsContainer
{
public:
    class const_iterator
    {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = IndexPair;
        using difference_type = std::ptrdiff_t;
        using pointer = const IndexPair *;
        using reference = IndexPair;

        const_iterator() = default;
        explicit const_iterator(difference_type index);

        IndexPair operator*() const { return m_pair; }
        difference_type index() const { return m_index; }

        const_iterator &operator++();
        const_iterator operator++(int);
        const_iterator &operator+=(difference_type n);
        const_iterator &operator--() { return *this += -1; }
        const_iterator &operator-=(difference_type n) { return *this += -n; }
        const_iterator operator+(difference_type n) const { return const_iterator(m_index + n); }
        const_iterator operator-(difference_type n) const { return const_iterator(m_index - n); }
        difference_type operator-(const const_iterator &other) const
        {
            return m_index - other.m_index;
        }
        IndexPair operator[](difference_type n) const { return pairAt(m_index + n); }
        bool operator==(const const_iterator &other) const { return m_index == other.m_index; }
        bool operator!=(const const_iterator &other) const { return m_index != other.m_index; }
        bool operator<(const const_iterator &other) const { return m_index < other.m_index; }
        bool operator>(const const_iterator &other) const { return m_index > other.m_index; }
        bool operator<=(const const_iterator &other) const { return m_index <= other.m_index; }
        bool operator>=(const const_iterator &other) const { return m_index >= other.m_index; }

    private:
        difference_type m_index = 0;
        IndexPair m_pair { 0, 1 };
    };
    using iterator = const_iterator;
    using value_type = IndexPair;

    explicit CombinationsContainer(int count);

    static IndexPair pairAt(std::ptrdiff_t index);

    std::ptrdiff_t size() const;
    const_iterator begin() const { return const_iterator(0); }
    const_iterator end() const { return const_iterator(size()); }

private:
    int m_count;
};

// Every (photo, bound) pair of count photos and boundCount bounds, photo by
// photo: (0, 0), (0, 1), ..., (0, boundCount - 1), (1, 0), ...
class OrederedCombiantioinsConatiner
{
public:
    class const_iterator
    {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = IndexPair;
        using difference_type = std::ptrdiff_t;
        using pointer = const IndexPair *;
        using reference = IndexPair;

        const_iterator() = default;
        const_iterator(difference_type index, int boundCount)
            : m_index(index)
            , m_boundCount(boundCount)
        {
        }

        IndexPair operator*() const
        {
            return { int(m_index / m_boundCount), int(m_index % m_boundCount) };
        }
        difference_type index() const { return m_index; }

        const_iterator &operator++()
        {
            ++m_index;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator old = *this;
            ++m_index;
            return old;
        }
        const_iterator &operator--()
        {
            --m_index;
            return *this;
        }
        const_iterator &operator+=(difference_type n)
        {
            m_index += n;
            return *this;
        }
        const_iterator &operator-=(difference_type n)
        {
            m_index -= n;
            return *this;
        }
        const_iterator operator+(difference_type n) const
        {
            return const_iterator(m_index + n, m_boundCount);
        }
        const_iterator operator-(difference_type n) const
        {
            return const_iterator(m_index - n, m_boundCount);
        }
        difference_type operator-(const const_iterator &other) const
        {
            return m_index - other.m_index;
        }
        IndexPair operator[](difference_type n) const { return *(*this + n); }
        bool operator==(const const_iterator &other) const { return m_index == other.m_index; }
        bool operator!=(const const_iterator &other) const { return m_index != other.m_index; }
        bool operator<(const const_iterator &other) const { return m_index < other.m_index; }
        bool operator>(const const_iterator &other) const { return m_index > other.m_index; }
        bool operator<=(const const_iterator &other) const { return m_index <= other.m_index; }
        bool operator>=(const const_iterator &other) const { return m_index >= other.m_index; }

    private:
        difference_type m_index = 0;
        int m_boundCount = 1;
    };
    using iterator = const_iterator;
    using value_type = IndexPair;

    OrederedCombiantioinsConatiner(int count, int boundCount);

    std::ptrdiff_t size() const { return std::ptrdiff_t(m_count) * m_boundCount; }
    const_iterator begin() const { return const_iterator(0, m_boundCount); }
    const_iterator end() const { return const_iterator(size(), m_boundCount); }

private:
    int m_count;
    int m_boundCount;
};

// The relaxation of a Photo Drop pile, free of any model object so that it
// can run on worker threads and be tested on its own. Every pass pushes
// overlapping photos apart, pushes photos back inside the page and lets each
// photo grow or shrink until the pressure on it balances its own area. Each
// step of a pass is a parallel map on the global thread pool; the caller
// waits for each step.
class PhotoDropArrangement
{
public:
    struct Photo
    {
        PhotoDropPlacement placement;
        qreal rotation = 0.0; // degrees
        QRectF rect; // collision rectangle, local units
    };

    // A page edge as a half-plane: a point on it and the inward normal.
    struct Bound
    {
        QPointF point;
        float normalX;
        float normalY;
    };

    PhotoDropArrangement(const QSizeF &pageSize, const std::vector<Photo> &photos);
    PhotoDropArrangement(const PhotoDropArrangement &) = delete;
    PhotoDropArrangement &operator=(const PhotoDropArrangement &) = delete;

    // Runs passes + 1 passes.
    void run(int passes);
    void pass();

    // The steps of a pass, in their order.
    void startStep();
    void collisionStep();
    void boundsStep();
    Extremums reduceStep();
    void zoomStep();
    void positionStep(const Extremums &extremums);

    int count() const { return int(m_items.size()); }
    const TemporyItemData &item(int index) const { return m_items[std::size_t(index)]; }
    PhotoDropPlacement placement(int index) const { return m_items[std::size_t(index)].transform; }
    const std::vector<Bound> &bounds() const { return m_bounds; }

    // The photo's local rectangle has its long side 1; a size that is not
    // valid gives the empty unit size.
    static QSizeF unitSize(const QSize &displayedSize);
    // The frame's outer rectangle, centred on the origin, in local units.
    static QRectF collisionRect(const QSizeF &unitSize, qreal frameSize);
    // Degrees of a relative rotation under a restriction (zero, variation).
    static qreal rotationDegrees(qreal rotationRelative, qreal zero, qreal variation);
    // The placement of a photo thrown on the page at random, sized so that
    // its rotated bounding box gets the photoCount-th part of the page area
    // it could fill. Draws three thousandths: rotation, then y, then x.
    static PhotoDropPlacement randomPlacement(const QSizeF &unitSize, const QSizeF &pageSize,
        int photoCount, qreal zero, qreal variation);
    // Centre of the overlap of two convex quadrilaterals (closed polygons of
    // five points, first point repeated): the average of the overlap's
    // points counting its closing point. False when they do not overlap.
    static bool intersectionCenter(const QPolygonF &a, const QPolygonF &b, QPointF *center);
    // Pushes photo away from point with the given weight.
    static void push(TemporyItemData &photo, const QPointF &point, double weight, quint32 order);

private:
    // Whether the steps are worth the thread pool.
    bool parallel() const;

    std::vector<TemporyItemData> m_items;
    std::vector<Bound> m_bounds;
};
