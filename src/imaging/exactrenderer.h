#pragma once

#include <QImage>
#include <QSizeF>
#include <QTransform>

// Renders a picture under a transform at the exact output scale, for the
// image cache's levels and for output that is drawn from the file itself.
// A pure scale is one smooth resize; anything with rotation is drawn in
// tiles, each supersampled and scaled down, so that turned edges come out
// as smooth as straight ones.
namespace ExactRenderer {

constexpr int tileSide = 256;
constexpr int supersampling = 4;

// `source` under `transform`, centred: the result is the bounding box of
// the transformed picture. Tiles run on the global thread pool when
// `parallel` is set. A null image when the output would exceed the
// decoder's pixel limit.
QImage transformImage(const QImage &source, const QTransform &transform, bool parallel);
// The same for a source that stands for a picture of `logicalSize` (a
// reduced decode of a larger file).
QImage renderTransformed(
    const QImage &source, const QSizeF &logicalSize, const QTransform &transform, bool parallel);

} // namespace ExactRenderer
