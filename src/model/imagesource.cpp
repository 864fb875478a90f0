#include "imagesource.h"

#include <QFileInfo>
#include <QPainter>
#include <QPixmapCache>
#include <QtDebug>

#include "imaging/drawflags.h"
#include "imaging/imagecache.h"
#include "undo/commandids.h"
#include "undo/propertyundocommand.h"

namespace {

int quarterTurnsBetween(int from, int to)
{
    return ((to - from) % 4 + 4) % 4;
}

} // namespace

ImageSource::ImageSource(Document *document, QObject *parent)
    : QObject(parent)
    , DocumentPart(document)
{
    QPixmapCache::setCacheLimit(102400);
    connect(ImageCache::instance(), &ImageCache::imageCached, this, &ImageSource::imageCached);
}

ImageSource::~ImageSource() = default;

QSize ImageSource::size() const
{
    if (m_source.isEmpty())
        return QSize();
    const QSize size = ImageCache::instance()->imageSize(m_source);
    return (m_rotation % 2) ? size.transposed() : size;
}

void ImageSource::setSource(const QUrl &source)
{
    // Setting the current address again would only add an empty undo step.
    if (source == m_source)
        return;
    setUndoable<&ImageSource::assignSource, &ImageSource::source>(
        this, tr("Changing image source address"), source, CommandId::ImageSourceAddress);
}

void ImageSource::assignSource(const QUrl &source)
{
    if (source == m_source)
        return;
    setObjectName(QFileInfo(source.toLocalFile()).fileName());
    m_source = source;
    m_state = source.isEmpty() ? Null : Ready;
    Q_EMIT sourceChanged(m_source);
    Q_EMIT stateChanged(m_state);
}

void ImageSource::setRotation(int rotation)
{
    // A request that lands on the current rotation would only add an empty
    // undo step.
    if (quarterTurnsBetween(m_rotation, rotation) == 0)
        return;
    setUndoable<&ImageSource::assignRotation, &ImageSource::rotation>(
        this, tr("Rotating image"), rotation, CommandId::ImageSourceRotation);
}

void ImageSource::rotate90(int i)
{
    setRotation(m_rotation + i);
}

void ImageSource::assignRotation(int rotation)
{
    const int delta = quarterTurnsBetween(m_rotation, rotation);
    if (delta == 0)
        return;
    m_rotation = (m_rotation + delta) % 4;
    Q_EMIT sizeChanged(size());
    Q_EMIT rotationChanged(m_rotation);
}

void ImageSource::imageCached(const QUrl &url)
{
    if (url == m_source)
        Q_EMIT drawQualityIncrized();
}

QTransform ImageSource::imageTransform(const QRectF &rect, Qt::AspectRatioMode mode) const
{
    const QSizeF pictureSize = size();
    if (pictureSize.isEmpty())
        return QTransform();
    const QSizeF fitted = pictureSize.scaled(rect.size(), mode);
    const qreal scale
        = qMax(fitted.height(), fitted.width()) / qMax(pictureSize.width(), pictureSize.height());
    QTransform transform;
    transform.translate(rect.center().x(), rect.center().y());
    transform.scale(scale, scale);
    transform.translate(-pictureSize.width() / 2.0, -pictureSize.height() / 2.0);
    return transform;
}

void ImageSource::draw(QPainter *painter, int flags) const
{
    if (m_state != Ready)
        return;
    painter->save();
    const QSizeF pictureSize = size();
    painter->translate(pictureSize.width() / 2.0, pictureSize.height() / 2.0);
    painter->rotate(m_rotation * 90);
    QImage image;
    QTransform imageTransform;
    // The device transform includes the screen's pixel ratio, which is what
    // decides how many pixels the picture needs.
    if (ImageCache::instance()->findImage(
            m_source, painter->deviceTransform(), flags, image, imageTransform)) {
        painter->setTransform(imageTransform.inverted(), true);
        if (flags & FastDraw)
            painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter->drawImage(QPointF(-image.width() / 2.0, -image.height() / 2.0), image);
    } else {
        qWarning("image not find in cache");
    }
    painter->restore();
}

void ImageSource::drawInRect(
    QPainter *painter, int flags, const QRectF &rect, Qt::AspectRatioMode mode) const
{
    if (m_state != Ready)
        return;
    painter->save();
    painter->setClipRect(rect, Qt::IntersectClip);
    painter->setTransform(imageTransform(rect, mode), true);
    draw(painter, flags);
    painter->restore();
}
