#pragma once

#include <QCoreApplication>
#include <QImage>
#include <QString>

class QIODevice;

// Writes 8-bit PNGs of large pages quickly.
//
// The rows are split into strips; every strip is filtered (the filter with
// the smallest sum of residues per row, as libpng chooses) and deflated on
// its own thread, and the strips are joined into one zlib stream:
//
//   zlib header | strip 1, sync flush | strip 2, sync flush | ... | last
//   strip, final block | Adler-32 of all rows
//
// An image without alpha channel is written as RGB, one with as RGBA.
class PngWriter
{
    Q_DECLARE_TR_FUNCTIONS(PngWriter)

public:
    // Fast levels cost little size on photos, whose residues are noisy.
    static constexpr int DefaultLevel = 3;

    static bool write(
        const QImage &image, QIODevice *device, QString *error, int level = DefaultLevel);
};
