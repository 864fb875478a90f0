#pragma once

#include <QIconEngine>
#include <QSharedPointer>

class ImageSource;

// The thumbnail of a photo in the image list: the picture fills the
// requested rectangle, aspect ratio kept by expanding and clipped, smoothly
// scaled.
class IconEngine : public QIconEngine
{
public:
    explicit IconEngine(const QSharedPointer<ImageSource> &source);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine *clone() const override;
    QString key() const override;

    QSharedPointer<ImageSource> source() const { return m_source; }

private:
    QSharedPointer<ImageSource> m_source;
};
