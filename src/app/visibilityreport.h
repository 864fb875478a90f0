#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

class Document;
class QTextStream;

// How much of each photo a collage shows: for every photo its file, the
// area it is drawn in on the output and the fraction of the picture that
// stays visible (what the cell crops away in a grid, what the page edge
// and the photos above hide in a pile).
class VisibilityReport
{
public:
    struct Photo
    {
        QString file;
        // The area the photo is drawn in, in output pixels (the bounding
        // box when it is turned).
        QRectF area;
        qreal visibleFraction = 0;
    };

    // Measures `document` as rendered at `outputSize` pixels.
    VisibilityReport(const Document *document, const QSizeF &outputSize);

    const QList<Photo> &photos() const { return m_photos; }
    // 1 without photos: nothing is cut away.
    qreal minimumVisibleFraction() const;
    qreal meanVisibleFraction() const;

    // One tab-separated line per photo (file, x, y, width, height, visible
    // fraction), then "min_visible_fraction: X" and, last,
    // "mean_visible_fraction: X".
    void write(QTextStream &out) const;

private:
    void measureGrid(const Document *document, const QSizeF &scale);
    void measurePile(const Document *document, const QSizeF &scale);

    QList<Photo> m_photos;
};
