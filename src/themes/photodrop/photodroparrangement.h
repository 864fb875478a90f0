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
#include <limits>
#include <vector>

class PassWorkers;

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

// Every unordered pair (i, j), i < j, of count photos, numbered in the
// order (0, 1), (0, 2), (1, 2), (0, 3), (1, 3), (2, 3), ... The pairs that
// end in j start at index j (j - 1) / 2:
//
//             j=1  j=2  j=3  j=4
//        i=0   0    1    3    6
//        i=1        2    4    7
//        i=2             5    8
//        i=3                  9
class CombinationsContainer
{
public:
    explicit CombinationsContainer(int count);

    std::ptrdiff_t size() const;
    IndexPair operator[](std::ptrdiff_t index) const { return pairAt(index); }

    static IndexPair pairAt(std::ptrdiff_t index);

private:
    int m_count;
};

// Every (photo, bound) pair of count photos and boundCount bounds, photo by
// photo: (0, 0), (0, 1), ..., (0, boundCount - 1), (1, 0), ... The page
// edges' pushes are numbered in this order, after all pairs of photos.
class OrederedCombiantioinsConatiner
{
public:
    OrederedCombiantioinsConatiner(int count, int boundCount);

    std::ptrdiff_t size() const { return std::ptrdiff_t(m_count) * m_boundCount; }
    IndexPair operator[](std::ptrdiff_t index) const
    {
        return { int(index / m_boundCount), int(index % m_boundCount) };
    }
    static std::ptrdiff_t indexOf(int photo, int bound, int boundCount)
    {
        return std::ptrdiff_t(photo) * boundCount + bound;
    }

private:
    int m_count;
    int m_boundCount;
};

// The relaxation of a Photo Drop pile, free of any model object so that it
// can run on worker threads and be tested on its own. Every pass pushes
// overlapping photos apart, pushes photos back inside the page and lets each
// photo grow or shrink until the pressure on it balances its own area.
//
// A large pile shares each step of a pass with the global thread pool; a small one runs inline,
// where handing out the work would cost more than the work. The pushes are summed in a fixed order,
// so both give the same layout.
class PhotoDropArrangement
{
public:
    enum class Threading { Automatic, Inline, Pool };

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
    Q_DISABLE_COPY(PhotoDropArrangement)

    // Runs passes + 1 passes.
    void run(int passes);
    // Automatic by default: the pool from parallelPhotoCount photos on.
    void setThreading(Threading threading) { m_threading = threading; }

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

    // The smallest pile whose passes run on the pool: below it the
    // hand-off of each step to the threads outweighs its arithmetic.
    static constexpr int parallelPhotoCount = 400;

private:
    // What the collision step's first test reads, packed: most pairs are
    // far apart, and rejecting one then reads a few bytes per photo instead
    // of two whole TemporyItemData.
    struct Reach
    {
        float x;
        float y;
        float radius;
        bool hasArea;
    };

    void pass();
    // The steps of a pass, in their order. Work that touches one photo only
    // shares a step, so that a pass hands out three steps to the threads.
    void startStep(); // geometry, then the page edges' pushes
    void collisionStep();
    Extremums reduceStep(); // the pushes' sums, then the zoom
    void positionStep(const Extremums &extremums);
    void pushInside(int index);
    static qreal nextZoom(const TemporyItemData &item);

    // Calls work(begin, end) over the indexes 0 ... size - 1: inline in one
    // range, or cut into ranges shared with the run's workers.
    template<typename Work> void forEachRange(std::ptrdiff_t size, Work work) const;

    std::vector<TemporyItemData> m_items;
    std::vector<Reach> m_reach;
    std::vector<Bound> m_bounds;
    Threading m_threading = Threading::Automatic;
    bool m_parallel = false;
    PassWorkers *m_workers = nullptr; // while a run shares its steps
};
