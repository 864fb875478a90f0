#pragma once

#include <QCursor>
#include <QPointer>
#include <QRectF>
#include <QSharedPointer>
#include <QTransform>

#include "scene/editablegraphicsobject.h"

class ImageSource;
class PhotoGridItemProperties;
class PhotoGridTheme;
class QMenu;
class Scene;
class TransformedImageSource;

// One cell of a photo grid on the page: the picture cropped to cover the
// cell, with frame, colour filter, mask and the blue ring while selected.
// The item sits at the centre of the cell's photo area and turns with the
// cell. Its border band turns the cell; a click on the selected cell
// switches it to image mode, where the middle pans the picture and the
// border band turns and zooms it, never so far that the cell shows empty
// space.
//
//        +-----------------------------+  cellRect: the cell shrunk by the
//        |  frame                      |  theme's border, centred on (0, 0)
//        |   +---------------------+   |
//        |   |     pictureRect     |   |  pictureRect: cellRect shrunk by
//        |   |  covered by image   |   |  min(w, h) / 2 x frame size
//        |   +---------------------+   |
//        +-----------------------------+
class PhotoGridGraphicsItem : public EditableGraphicsObject
{
    Q_OBJECT

public:
    // Mime type of a cell dragged to another cell; the data is the cell's
    // address, meaningful only inside this process and only after it has
    // been found among the theme's own cells.
    static const char *const MimeType;

    PhotoGridGraphicsItem(const QSharedPointer<PhotoGridItemProperties> &properties,
        PhotoGridTheme *theme, QGraphicsItem *parent = nullptr);
    ~PhotoGridGraphicsItem() override;

    QSharedPointer<PhotoGridItemProperties> properties() const { return m_properties; }
    PhotoGridTheme *theme() const;

    QRectF cellRect() const { return m_cellRect; }
    QRectF pictureRect() const { return m_pictureRect; }
    QTransform fitTransform() const { return m_fitTransform; }
    // The transform that keeps the crop from uncovering pictureRect; the
    // identity while the crop shows only image.
    QTransform correctionTransform() const;
    // Maps the image (its rectangle (0, 0, displayed size)) into item
    // coordinates: correction x crop x fitTransform.
    QTransform imageTransform() const;
    // The photo outline in item coordinates (pictureRect).
    QPainterPath photoShape() const;

    bool imageMode() const { return m_imageMode; }
    void setImageMode(bool on);

    // Also the shape, as QGraphicsItem makes it by default.
    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    int hitTest(const QPointF &pos) override;
    QPointF transformCenter() const override;

    // The cell's "Filter" and "Mask" submenus; the caller owns the menu.
    QMenu *createContextMenu(QWidget *parent = nullptr);

    // Drag data naming `cell`.
    static QByteArray encodeAddress(const PhotoGridItemProperties *cell);

    // The gestures, in item coordinates, as the pointer moves from
    // `previous` to `current`; public so that the overlay and tests can
    // drive them.
    void turnCell(const QPointF &previous, const QPointF &current);
    void panImage(const QPointF &previous, const QPointF &current);
    void turnAndZoomImage(const QPointF &previous, const QPointF &current);

Q_SIGNALS:
    void photoShapeChanged();
    void scenePositionChanged();
    void cursorChanged(const QCursor &cursor);

private Q_SLOTS:
    void _rectChanged();
    void _angleChanged();
    void _sourceChanged();
    void _sourceImageChanged();
    void _sourceTransformChaged();
    void _frameColorChanged();
    void _frameSizeChanged();
    void _sourceSizeChanged();
    void _queueUpdate();
    void _fastDrawChanged(bool fastDraw);

protected:
    void partPressed(int &part) override;
    void partDragged(int &part) override;
    void partReleased(int &part) override;
    void clickReleased(QGraphicsSceneMouseEvent *event) override;
    bool startDrag(QWidget *widget) override;
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;
    void contextMenuEvent(QGraphicsSceneContextMenuEvent *event) override;

private:
    void updateCell();
    void updatePicture();
    void connectSource();
    void connectImage();
    void updateOverlay();
    void attachToScene(Scene *scene);
    void detachFromScene();
    ImageSource *image() const;
    // The crop as drawn: the correction folded in.
    QTransform effectiveCrop() const;
    // The image rectangle (0, 0, displayed size).
    QRectF imageRect() const;
    // The map from item to image points under `crop`; false when `crop`
    // flattens the image.
    bool itemToImage(const QTransform &crop, QTransform *map) const;
    // The part of the image pictureRect shows under `crop`.
    QRectF visibleImageRect(const QTransform &crop) const;

    QSharedPointer<PhotoGridItemProperties> m_properties;
    QPointer<PhotoGridTheme> m_theme;
    QPointer<TransformedImageSource> m_source;
    QPointer<ImageSource> m_image;
    QPointer<Scene> m_scene;
    QRectF m_cellRect;
    QRectF m_pictureRect;
    QTransform m_fitTransform;
    bool m_imageMode = false;
    bool m_paintedFast = false;
    // Whether the image part pressed last has been dragged; a plain click
    // on it leaves image mode.
    bool m_imageDragged = false;
};
