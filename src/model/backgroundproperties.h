#pragma once

#include <QColor>
#include <QObject>
#include <QUrl>

#include "model/documentpart.h"

class ImageSource;

// How a theme paints its page: not at all, with a colour, with a linear
// gradient or with a picture. Scripts select the kind by number
// (`background.type = 2` gives a gradient).
class BackgroundProperties : public QObject, public DocumentPart
{
    Q_OBJECT
    Q_PROPERTY(Type type READ type WRITE setType NOTIFY typeChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    // The change signal is spelled gradientAngleChanget; connections by name use it.
    Q_PROPERTY(
        qreal gradientAngle READ gradientAngle WRITE setGradientAngle NOTIFY gradientAngleChanget)
    Q_PROPERTY(QColor gradientStartColor READ gradientStartColor WRITE setGradientStartColor NOTIFY
            gradientStartColorChanged)
    Q_PROPERTY(QColor gradientEndColor READ gradientEndColor WRITE setGradientEndColor NOTIFY
            gradientEndColorChanged)
    Q_PROPERTY(ImageSource *image READ image CONSTANT)
    Q_MOC_INCLUDE("model/imagesource.h")

public:
    enum Type { None = 0, Color = 1, Gradient = 2, Picture = 3 };
    Q_ENUM(Type)

    explicit BackgroundProperties(Document *document = nullptr, QObject *parent = nullptr);

    // The picture belongs to the same document as the background.
    void setDocument(Document *document) override;

    Type type() const { return m_type; }
    QColor color() const { return m_color; }
    // Degrees, clockwise.
    qreal gradientAngle() const { return m_gradientAngle; }
    QColor gradientStartColor() const { return m_gradientStartColor; }
    QColor gradientEndColor() const { return m_gradientEndColor; }
    // The picture of the Picture type; lives as long as the background.
    ImageSource *image() const { return m_image; }

public Q_SLOTS:
    void setType(BackgroundProperties::Type type);
    void setColor(const QColor &color);
    void setGradientAngle(qreal gradientAngle);
    void setGradientStartColor(const QColor &color);
    void setGradientEndColor(const QColor &color);
    void setBackgroundUrl(const QUrl &url);

Q_SIGNALS:
    void typeChanged(BackgroundProperties::Type type);
    void colorChanged(const QColor &color);
    void gradientAngleChanget(qreal gradientAngle);
    void gradientStartColorChanged(const QColor &color);
    void gradientEndColorChanged(const QColor &color);

private:
    Type m_type = Color;
    QColor m_color = Qt::white;
    qreal m_gradientAngle = 180.0;
    QColor m_gradientStartColor = Qt::white;
    QColor m_gradientEndColor = Qt::black;
    ImageSource *m_image;
};
