#include "textoverlayitem.h"

#include <QFontMetricsF>
#include <QGraphicsSceneMouseEvent>
#include <QInputDialog>
#include <QPainter>

#include "model/document.h"
#include "model/pagesize.h"
#include "model/textoverlayproperties.h"
#include "scene/connecteach.h"

namespace {

// Text is shaped at this pixel size and scaled to the page. A fixed, ample
// size keeps glyph shapes and advances exact whatever the point size.
constexpr int ReferencePixelSize = 100;

} // namespace

TextOverlayItem::TextOverlayItem(TextOverlayProperties *properties, QGraphicsItem *parent)
    : OverlayItem(properties, tr("Rotate text"), parent)
    , m_properties(properties)
    , m_document(properties ? properties->document() : nullptr)
{
    if (properties) {
        connectEach(properties, this, &TextOverlayItem::onPropertyChanged,
            &TextOverlayProperties::textChanged, &TextOverlayProperties::fontChanged,
            &TextOverlayProperties::colorChanged, &TextOverlayProperties::positionChanged,
            &TextOverlayProperties::rotationChanged, &TextOverlayProperties::scaleChanged,
            &TextOverlayProperties::opacityChanged, &TextOverlayProperties::alignmentChanged);
    }
    // The page's unit sets the size of a point.
    if (m_document)
        connect(m_document, &Document::sizeChanged, this, &TextOverlayItem::onPropertyChanged);
    onPropertyChanged();
}

TextOverlayItem::~TextOverlayItem() = default;

TextOverlayProperties *TextOverlayItem::properties() const
{
    return m_properties;
}

qreal TextOverlayItem::pageUnitsPerPoint(int units)
{
    switch (units) {
    case PageSize::Pixels:
        return 96.0 / 72.0;
    case PageSize::Centimeters:
        return 2.54 / 72.0;
    default:
        return 1.0 / 72.0;
    }
}

TextOverlayItem::WorkingFont TextOverlayItem::workingFont(const QFont &font, qreal unitsPerPoint)
{
    qreal points = font.pointSizeF();
    if (points <= 0)
        points = font.pixelSize() > 0 ? font.pixelSize() : 12;
    WorkingFont working;
    working.font = font;
    working.font.setPixelSize(ReferencePixelSize);
    // Unhinted outlines and advances scale exactly to any page size.
    working.font.setHintingPreference(QFont::PreferNoHinting);
    working.unitsPerFontPixel = points * unitsPerPoint / ReferencePixelSize;
    return working;
}

TextOverlayItem::WorkingFont TextOverlayItem::currentWorkingFont() const
{
    const int units = m_document ? m_document->pageSize().units() : int(PageSize::None);
    return workingFont(m_properties->font(), pageUnitsPerPoint(units));
}

QColor TextOverlayItem::shadowColor(const QColor &textColor)
{
    // HSL lightness from the exact channels: QColor rounds it to 16 bits,
    // which puts pure yellow a hair above one half.
    const QColor rgb = textColor.toRgb();
    const qreal lightness = (qMax(qMax(rgb.redF(), rgb.greenF()), rgb.blueF())
                                + qMin(qMin(rgb.redF(), rgb.greenF()), rgb.blueF()))
        / 2;
    QColor shadow = lightness > 0.5 ? QColor(Qt::black) : QColor(Qt::white);
    shadow.setAlphaF(0.5);
    return shadow;
}

void TextOverlayItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!m_properties)
        return;
    const WorkingFont working = currentWorkingFont();
    const qreal k = working.unitsPerFontPixel;
    const qreal lineHeight = QFontMetricsF(working.font).height() * k;
    const int flags = m_properties->alignment();
    const QString text = m_properties->text();

    painter->save();
    painter->setFont(working.font);
    painter->scale(k, k);
    const QRectF box(overlayRect().topLeft() / k, overlayRect().size() / k);
    const qreal offset = 0.02 * lineHeight / k;
    painter->setPen(shadowColor(m_properties->color()));
    painter->drawText(box.translated(offset, offset), flags, text);
    painter->setPen(m_properties->color());
    painter->drawText(box, flags, text);
    painter->restore();

    paintSelection(painter);
}

void TextOverlayItem::onPropertyChanged()
{
    if (!m_properties)
        return;
    prepareGeometryChange();

    const WorkingFont working = currentWorkingFont();
    const qreal k = working.unitsPerFontPixel;
    const QRectF measured
        = QFontMetricsF(working.font)
              .boundingRect(QRectF(), m_properties->alignment(), m_properties->text());
    QRectF rect(measured.topLeft() * k, measured.size() * k);
    const qreal margin = 0.1 * rect.height();
    rect.adjust(-margin, -margin, margin, margin);
    rect.moveCenter(QPointF(0, 0));
    setOverlayRect(rect);
    applyPlacement();
    update();
}

void TextOverlayItem::mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event)
{
    event->accept();
    if (!m_properties)
        return;
    // The dialog runs its own event loop; the overlay may go meanwhile.
    QPointer<TextOverlayProperties> properties = m_properties;
    bool accepted = false;
    const QString text = QInputDialog::getMultiLineText(
        nullptr, tr("Edit Text"), tr("Text:"), properties->text(), &accepted);
    // An unchanged text would only add an empty undo step.
    if (accepted && !text.isEmpty() && properties && text != properties->text())
        properties->setText(text);
}
