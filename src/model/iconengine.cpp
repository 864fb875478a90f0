#include "iconengine.h"

#include <QPainter>
#include <QPixmap>

#include "model/imagesource.h"

IconEngine::IconEngine(const QSharedPointer<ImageSource> &source)
    : m_source(source)
{
}

void IconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode, QIcon::State)
{
    if (!m_source)
        return;
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    m_source->drawInRect(painter, 0, rect, Qt::KeepAspectRatioByExpanding);
    painter->restore();
}

QPixmap IconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    // Parts the picture does not cover (an unreadable file) stay clear
    // rather than showing uninitialised pixels.
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    if (!size.isEmpty()) {
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    }
    return pixmap;
}

QIconEngine *IconEngine::clone() const
{
    return new IconEngine(m_source);
}

QString IconEngine::key() const
{
    return QStringLiteral("ImageSourceIconEngine");
}
