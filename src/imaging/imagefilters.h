#pragma once

#include <QImage>
#include <QStringList>

#include <functional>

class QPainter;
class QPainterPath;
class QRectF;

// The colour filters a photo can be drawn with, in both layout themes. The
// codes are stored in documents, so their values never change.
namespace ImageFilters {

enum FilterType {
    None = 0,
    Grayscale = 1,
    Sepia = 2,
    Warm = 3,
    Cool = 4,
    HighContrast = 5,
};

// Number of filter codes, None included; codes run from 0 to count - 1.
constexpr int filterCount = 6;

// True for the codes that change pixels (1 ... 5). Unknown codes count as
// None everywhere, because documents may carry values from elsewhere.
bool isActive(int filterType);

// The translated menu labels, indexed by filter code.
QStringList filterNames();

// Returns `image` with `filterType` applied; alpha is kept. RGB32, ARGB32 and
// ARGB32_Premultiplied images keep their format (premultiplied pixels are
// filtered on their straight colour values); any other format comes back as
// ARGB32_Premultiplied when it has alpha and RGB32 otherwise. Pass an image
// by std::move to filter its pixels without a copy. None and unknown codes
// return the image untouched.
QImage applyFilter(QImage image, int filterType);

// The filter arithmetic on one straight (not premultiplied) ARGB value.
QRgb filterPixel(QRgb argb, int filterType);

// Draws something through a filter at the resolution of the painter's
// device: `paintContent` paints in the painter's current coordinates into an
// offscreen buffer that covers the device rectangle of `rect`, clipped to
// `clip` when that is not empty; the buffer is filtered and drawn back
// unscaled, within the painter's own clip. The offscreen painter starts with
// the painter's transform and render hints, so further transforms must be
// combined with it. Nothing is drawn when the device rectangle is empty.
void paintFiltered(QPainter *painter, const QRectF &rect, int filterType, const QPainterPath &clip,
    const std::function<void(QPainter *)> &paintContent);

} // namespace ImageFilters
