#pragma once

#include <QObject>
#include <QRectF>
#include <QSharedPointer>
#include <QSize>
#include <QTransform>
#include <QUrl>

#include "model/documentpart.h"

class QPainter;

// A photo of a collage: the address of its file, a quarter-turn rotation and
// a state. The pixels come from the ImageCache; image sources are shared
// between the image list, undo commands and the layout items that show them.
class ImageSource : public QObject, public DocumentPart
{
    Q_OBJECT
    Q_PROPERTY(QUrl source READ source WRITE setSource NOTIFY sourceChanged)
    Q_PROPERTY(State state READ state NOTIFY stateChanged)
    Q_PROPERTY(QSize size READ size NOTIFY sizeChanged)
    Q_PROPERTY(int rotation READ rotation WRITE setRotation NOTIFY rotationChanged)

public:
    enum State { Null = 0, Loading = 1, Error = 2, Ready = 3 };
    Q_ENUM(State)

    explicit ImageSource(Document *document = nullptr, QObject *parent = nullptr);
    ~ImageSource() override;

    QUrl source() const { return m_source; }
    State state() const { return m_state; }
    int rotation() const { return m_rotation; }

    // The pixel size of the upright picture turned by the rotation; empty
    // when the file cannot be read.
    QSize size() const;

    // Maps the picture (its rectangle (0, 0, size())) centred into `rect`,
    // scaled uniformly to fit or to fill it as `mode` says.
    QTransform imageTransform(const QRectF &rect, Qt::AspectRatioMode mode) const;

    // Draws the picture centred on the rectangle (0, 0, size()) of the
    // painter's coordinates, from the cache version that suits the
    // painter's transform; `flags` are DrawFlag values.
    void draw(QPainter *painter, int flags) const;
    // Draws the picture into `rect`, clipped to it.
    void drawInRect(
        QPainter *painter, int flags, const QRectF &rect, Qt::AspectRatioMode mode) const;

public Q_SLOTS:
    void rotate90(int i);
    void setSource(const QUrl &source);
    void setRotation(int rotation);
    void imageCached(const QUrl &url);

Q_SIGNALS:
    void sourceChanged(const QUrl &arg);
    void stateChanged(ImageSource::State state);
    void sizeChanged(const QSize &size);
    void rotationChanged(int rotation);
    void drawQualityIncrized();

private:
    void assignSource(const QUrl &source);
    void assignRotation(int rotation);

    QUrl m_source;
    State m_state = Null;
    int m_rotation = 0;
};
