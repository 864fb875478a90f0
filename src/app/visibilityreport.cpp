#include "visibilityreport.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QTextStream>

#include <algorithm>
#include <cmath>

#include "model/document.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "themes/photodrop/photodropitemproperties.h"
#include "themes/photodrop/photodropitempropertieslist.h"
#include "themes/photodrop/photodroptheme.h"
#include "themes/photogrid/photogridgraphicsitem.h"
#include "themes/photogrid/photogridtheme.h"

namespace {

// A pile is measured on a raster of the page this many pixels long; a
// photo's share is then exact to well within a thousandth.
constexpr int PileRasterExtent = 1600;

qreal polygonArea(const QPolygonF &polygon)
{
    qreal twice = 0;
    for (int k = 0; k < polygon.size(); ++k) {
        const QPointF &a = polygon.at(k);
        const QPointF &b = polygon.at((k + 1) % polygon.size());
        twice += a.x() * b.y() - b.x() * a.y();
    }
    return std::abs(twice) / 2;
}

QRectF scaled(const QRectF &rect, const QSizeF &scale)
{
    return QRectF(rect.x() * scale.width(), rect.y() * scale.height(), rect.width() * scale.width(),
        rect.height() * scale.height());
}

QString fileOf(const QSharedPointer<ImageSource> &image)
{
    if (!image)
        return QString();
    const QUrl url = image->source();
    return url.isLocalFile() ? url.toLocalFile() : url.toString();
}

int rowOf(const Document *document, const QSharedPointer<ImageSource> &image)
{
    const QModelIndex index = image ? document->imageList()->indexOf(image) : QModelIndex();
    return index.isValid() ? index.row() : document->imageList()->count();
}

} // namespace

VisibilityReport::VisibilityReport(const Document *document, const QSizeF &outputSize)
{
    if (!document)
        return;
    const QSizeF page = document->pageSize().size();
    if (page.isEmpty())
        return;
    const QSizeF scale(outputSize.width() / page.width(), outputSize.height() / page.height());
    if (qobject_cast<const PhotoGridTheme *>(document->theme()))
        measureGrid(document, scale);
    else if (qobject_cast<const PhotoDropTheme *>(document->theme()))
        measurePile(document, scale);
}

void VisibilityReport::measureGrid(const Document *document, const QSizeF &scale)
{
    auto *theme = qobject_cast<PhotoGridTheme *>(document->theme());
    // Cells in the order of their photos in the list, as a reader expects.
    QList<PhotoGridItemPropertiesSharedPointer> cells = theme->items();
    std::stable_sort(cells.begin(), cells.end(), [document](const auto &a, const auto &b) {
        return rowOf(document, a->image()) < rowOf(document, b->image());
    });
    for (const auto &cell : std::as_const(cells)) {
        // The item that draws the cell knows where the picture goes and
        // which part of the image it shows.
        const PhotoGridGraphicsItem item(cell, theme);
        const QSharedPointer<ImageSource> image = cell->image();
        Photo photo;
        photo.file = fileOf(image);
        photo.area = scaled(item.mapRectToScene(item.pictureRect()), scale);
        const QSizeF imageSize = image ? QSizeF(image->size()) : QSizeF();
        bool invertible = false;
        const QTransform toImage = item.imageTransform().inverted(&invertible);
        if (invertible && !imageSize.isEmpty()) {
            const QPolygonF imageRect(QRectF(QPointF(0, 0), imageSize));
            const QPolygonF shown = toImage.map(QPolygonF(item.pictureRect()));
            photo.visibleFraction
                = qMin(1.0, polygonArea(shown.intersected(imageRect)) / polygonArea(imageRect));
        }
        m_photos.append(photo);
    }
}

void VisibilityReport::measurePile(const Document *document, const QSizeF &scale)
{
    auto *theme = qobject_cast<PhotoDropTheme *>(document->theme());
    const QList<PhotoDropItemPropertiesList::Item> &items = theme->items()->items();
    const QSizeF page = document->pageSize().size();
    const qreal rasterScale = PileRasterExtent / qMax(page.width(), page.height());
    const QSize raster(
        qMax(1, qRound(page.width() * rasterScale)), qMax(1, qRound(page.height() * rasterScale)));

    // Each photo is painted in its own colour, from the bottom of the pile
    // up, so that what stays of its colour is what stays visible.
    QImage owners(raster, QImage::Format_RGB32);
    owners.fill(0);
    QPainter painter(&owners);
    painter.setPen(Qt::NoPen);
    painter.scale(rasterScale, rasterScale);
    for (int k = 0; k < items.size(); ++k) {
        painter.setBrush(QColor::fromRgb(QRgb(k + 1)));
        painter.drawPath(PhotoDropTheme::outline(items.at(k).data()));
    }
    painter.end();
    QHash<int, qint64> pixels;
    for (int y = 0; y < owners.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(owners.constScanLine(y));
        for (int x = 0; x < owners.width(); ++x) {
            if (const int owner = int(line[x] & 0xffffff))
                ++pixels[owner - 1];
        }
    }

    const qreal pixelArea = 1 / (rasterScale * rasterScale);
    for (int k = 0; k < items.size(); ++k) {
        const QPainterPath outline = PhotoDropTheme::outline(items.at(k).data());
        const qreal area = polygonArea(outline.toFillPolygon());
        Photo photo;
        photo.file = fileOf(items.at(k)->source());
        photo.area = scaled(outline.boundingRect(), scale);
        if (area > 0)
            photo.visibleFraction = qMin(1.0, pixels.value(k) * pixelArea / area);
        m_photos.append(photo);
    }
}

qreal VisibilityReport::minimumVisibleFraction() const
{
    qreal least = 1;
    for (const Photo &photo : m_photos)
        least = qMin(least, photo.visibleFraction);
    return least;
}

qreal VisibilityReport::meanVisibleFraction() const
{
    if (m_photos.isEmpty())
        return 1;
    qreal sum = 0;
    for (const Photo &photo : m_photos)
        sum += photo.visibleFraction;
    return sum / m_photos.size();
}

void VisibilityReport::write(QTextStream &out) const
{
    for (const Photo &photo : m_photos) {
        // Edges are rounded, not the sizes, so that neighbours stay flush.
        const int left = qRound(photo.area.left());
        const int top = qRound(photo.area.top());
        out << photo.file << '\t' << left << '\t' << top << '\t'
            << qRound(photo.area.right()) - left << '\t' << qRound(photo.area.bottom()) - top
            << '\t' << QString::number(photo.visibleFraction, 'f', 4) << '\n';
    }
    out << "min_visible_fraction: " << QString::number(minimumVisibleFraction(), 'f', 4) << '\n';
    out << "mean_visible_fraction: " << QString::number(meanVisibleFraction(), 'f', 4) << '\n';
    out.flush();
}
