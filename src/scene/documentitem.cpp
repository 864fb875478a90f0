#include "documentitem.h"

#include <QGraphicsScene>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include "imaging/drawflags.h"
#include "model/document.h"
#include "scene/documentinneritem.h"
#include "scene/scene.h"
#include "scene/scenelayer.h"
#include "themes/theme.h"

DocumentItem::DocumentItem(Document *document, QGraphicsItem *parent)
    : QGraphicsObject(parent)
    , m_document(document)
{
    if (document) {
        connect(document, &Document::themeChanged, this, &DocumentItem::themeChanged);
        connect(document, &Document::sizeChanged, this, &DocumentItem::documentSizeChanged);
    }
}

DocumentItem::~DocumentItem()
{
    // The theme layer may still refer to the theme; take it down first.
    removeInnerItem();
}

Document *DocumentItem::document() const
{
    return m_document;
}

QRectF DocumentItem::boundingRect() const
{
    // No page is laid out without a theme, and then there is no shadow.
    if (m_pageRect.isNull())
        return QRectF();
    const qreal m = m_shadowMargin;
    return m_pageRect.adjusted(-m, -m, m, m);
}

void DocumentItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *widget)
{
    // Exported, printed and off-screen pages carry no shadow.
    if (!widget || (Scene::drawFlags(this) & DirectRender) || m_pageRect.isEmpty())
        return;

    //        +--+-----------------+--+
    //        |c |   top strip     | c|    c: radial corner squares
    //        +--+-----------------+--+
    //        |  |                 |  |
    //        |l |      page       | r|    l, r, top, bottom: linear strips
    //        |  |                 |  |       dark at the page edge
    //        +--+-----------------+--+
    //        |c |  bottom strip   | c|
    //        +--+-----------------+--+
    const qreal m = m_shadowMargin;
    const QRectF p = m_pageRect;
    const QColor dark(0, 0, 0);
    const QColor clear(0, 0, 0, 0);

    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setOpacity(0.6);

    auto strip = [&](const QRectF &rect, const QPointF &edge, const QPointF &outer) {
        QLinearGradient gradient(edge, outer);
        gradient.setColorAt(0, dark);
        gradient.setColorAt(1, clear);
        painter->fillRect(rect, gradient);
    };
    strip(
        QRectF(p.left(), p.top() - m, p.width(), m), QPointF(0, p.top()), QPointF(0, p.top() - m));
    strip(QRectF(p.left(), p.bottom(), p.width(), m), QPointF(0, p.bottom()),
        QPointF(0, p.bottom() + m));
    strip(QRectF(p.left() - m, p.top(), m, p.height()), QPointF(p.left(), 0),
        QPointF(p.left() - m, 0));
    strip(QRectF(p.right(), p.top(), m, p.height()), QPointF(p.right(), 0),
        QPointF(p.right() + m, 0));

    auto corner = [&](const QPointF &centre, const QRectF &rect) {
        QRadialGradient gradient(centre, m);
        gradient.setColorAt(0, dark);
        gradient.setColorAt(1, clear);
        painter->fillRect(rect, gradient);
    };
    corner(p.topLeft(), QRectF(p.left() - m, p.top() - m, m, m));
    corner(p.topRight(), QRectF(p.right(), p.top() - m, m, m));
    corner(p.bottomLeft(), QRectF(p.left() - m, p.bottom(), m, m));
    corner(p.bottomRight(), QRectF(p.right(), p.bottom(), m, m));

    painter->restore();
}

void DocumentItem::sceneRectChanged(const QRectF &rect)
{
    fitPage(rect);
}

void DocumentItem::documentSizeChanged(const QSizeF &)
{
    fitPage();
}

void DocumentItem::themeChanged(Theme *theme)
{
    removeInnerItem();
    clearPageRect();
    if (m_theme)
        disconnect(m_theme, nullptr, this, nullptr);
    m_theme = theme;

    if (theme) {
        // A theme that dies while shown (its document going first) must not
        // leave a layer behind that refers to it.
        connect(theme, &QObject::destroyed, this, [this](QObject *object) {
            if (object != m_theme.data() && m_theme)
                return;
            m_theme = nullptr;
            removeInnerItem();
            clearPageRect();
            emit sceneLayerChanged();
        });
        m_innerItem = new DocumentInnerItem(m_document, this);
        fitPage();
        m_sceneLayer = theme->createSceneItem(m_innerItem, scene());
        if (m_sceneLayer && !m_sceneLayer->parentItem())
            m_sceneLayer->setParentItem(m_innerItem);
        connect(m_innerItem, &DocumentInnerItem::geometryChanged, this,
            &DocumentItem::innerItemGeometryChanged);
    }
    // Listeners that hold the old layer (its actions in the Edit menu)
    // must let go even when no new layer comes.
    emit sceneLayerChanged();
}

void DocumentItem::innerItemGeometryChanged()
{
    fitPage();
}

QVariant DocumentItem::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemSceneChange) {
        if (m_scene)
            disconnect(
                m_scene, &QGraphicsScene::sceneRectChanged, this, &DocumentItem::sceneRectChanged);
    } else if (change == ItemSceneHasChanged) {
        m_scene = scene();
        if (m_scene) {
            connect(
                m_scene, &QGraphicsScene::sceneRectChanged, this, &DocumentItem::sceneRectChanged);
            fitPage();
        }
    }
    return QGraphicsObject::itemChange(change, value);
}

void DocumentItem::fitPage()
{
    if (m_scene)
        fitPage(m_scene->sceneRect());
}

void DocumentItem::fitPage(const QRectF &sceneRect)
{
    if (!m_innerItem || !m_document)
        return;

    const qreal m = m_shadowMargin;
    const QSizeF docSize = m_document->pageSize().size();
    const QSizeF available = sceneRect.size() - QSizeF(2 * m + 4, 2 * m + 4);
    QSizeF pageSize(0, 0);
    if (!docSize.isEmpty() && !available.isEmpty())
        pageSize = docSize.scaled(available, Qt::KeepAspectRatio);

    QRectF page(QPointF(0, 0), pageSize);
    page.moveCenter(mapFromScene(sceneRect.center()));

    prepareGeometryChange();
    update();
    m_innerItem->setScale(docSize.width() > 0 ? pageSize.width() / docSize.width() : 0);
    m_innerItem->setPos(page.topLeft());
    m_pageRect = m_innerItem->mapToParent(m_innerItem->shape()).boundingRect();
}

void DocumentItem::removeInnerItem()
{
    if (!m_innerItem)
        return;
    DocumentInnerItem *inner = m_innerItem;
    m_innerItem = nullptr;
    m_sceneLayer = nullptr;
    delete inner;
}

void DocumentItem::clearPageRect()
{
    if (m_pageRect.isNull())
        return;
    prepareGeometryChange();
    m_pageRect = QRectF();
}
