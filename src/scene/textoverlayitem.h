#pragma once

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QRectF>

#include "scene/overlayitem.h"

class Document;
class TextOverlayProperties;

// Shows one text overlay on the page, above the photos. The centre of the
// text moves it and the border band turns and scales it; every change goes
// to the properties as an undoable edit. A double click edits the text.
class TextOverlayItem : public OverlayItem
{
    Q_OBJECT

public:
    // The item is normally a child of the page, whose bounding rectangle
    // gives the page size the fraction position refers to.
    explicit TextOverlayItem(TextOverlayProperties *properties, QGraphicsItem *parent = nullptr);
    ~TextOverlayItem() override;

    TextOverlayProperties *properties() const;
    // The text's box in item coordinates, centred on the origin.
    QRectF textRect() const { return overlayRect(); }

    // Page units per typographic point (1/72 inch) for a page unit:
    // 1/72 on inch pages, 2.54/72 on centimetre pages, and 96/72 on pixel
    // pages, whose pixels count at the usual screen resolution of 96 per
    // inch. An unknown unit counts points as 1/72 unit.
    static qreal pageUnitsPerPoint(int units);

    // The text's font scaled to page units. Text is laid out with `font`
    // and drawn with the painter scaled by `unitsPerFontPixel`, so that its
    // size does not depend on the resolution of the device it is drawn on.
    struct WorkingFont
    {
        QFont font;
        qreal unitsPerFontPixel = 1;
    };
    static WorkingFont workingFont(const QFont &font, qreal unitsPerPoint);
    // Black for text lighter than half, white otherwise; half transparent.
    static QColor shadowColor(const QColor &textColor);

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

public Q_SLOTS:
    void onPropertyChanged() override;

protected:
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event) override;

private:
    WorkingFont currentWorkingFont() const;

    QPointer<TextOverlayProperties> m_properties;
    QPointer<Document> m_document;
};
