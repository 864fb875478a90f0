#include "scene.h"

#include <QGraphicsObject>
#include <QGraphicsSceneMouseEvent>
#include <QItemSelectionModel>
#include <QPainter>

#include "imaging/drawflags.h"
#include "model/document.h"
#include "model/imagelist.h"
#include "scene/documentitem.h"

Scene::Scene(Document *document, QObject *parent)
    : QGraphicsScene(parent)
    , m_document(document)
{
    m_selectionModel = new QItemSelectionModel(document ? document->imageList() : nullptr, this);
    m_documentItem = new DocumentItem(document);
    addItem(m_documentItem);
    // The theme layer is made once the page is in the scene, so that the
    // layer finds its scene from the start.
    if (document)
        m_documentItem->themeChanged(document->theme());
}

Scene::~Scene()
{
    // Delete the items while this is still a whole Scene: an item being
    // dragged gives its fast-draw hold back on destruction.
    setOverlayItem(nullptr, nullptr);
    clear();
}

Document *Scene::document() const
{
    return m_document;
}

void Scene::beginFastDraw()
{
    if (++m_fastDrawCount == 1)
        emit fastDrawChanged(true);
}

void Scene::endFastDraw()
{
    if (m_fastDrawCount <= 0)
        return;
    if (--m_fastDrawCount == 0)
        emit fastDrawChanged(false);
}

void Scene::setRenderFlag(int flag, bool on)
{
    if (on)
        m_renderFlags |= flag;
    else
        m_renderFlags &= ~flag;
}

int Scene::drawFlags() const
{
    return m_renderFlags | (m_fastDrawCount > 0 ? int(FastDraw) : 0);
}

int Scene::drawFlags(const QGraphicsItem *item)
{
    if (!item)
        return 0;
    const auto *scene = qobject_cast<const Scene *>(item->scene());
    return scene ? scene->drawFlags() : 0;
}

void Scene::release(QGraphicsObject *item)
{
    disconnect(this, nullptr, item, nullptr);
    if (m_overlayOwner == item)
        setOverlayItem(nullptr, nullptr);
}

void Scene::setOverlayItem(QGraphicsItem *item, QGraphicsItem *owner)
{
    if (m_overlayItem) {
        QGraphicsItem *old = m_overlayItem;
        const QRectF covered = old->sceneBoundingRect();
        if (QGraphicsObject *object = old->toGraphicsObject())
            disconnect(object, nullptr, this, nullptr);
        m_overlayItem = nullptr;
        if (old->scene() == this)
            removeItem(old);
        delete old;
        invalidate(covered);
    }
    if (m_overlayOwner) {
        if (QGraphicsObject *object = m_overlayOwner->toGraphicsObject())
            disconnect(object, nullptr, this, nullptr);
    }
    m_overlayOwner = nullptr;
    if (!item)
        return;

    m_overlayItem = item;
    m_overlayOwner = owner;
    // An overlay serves its owner; when either goes away on its own the
    // scene must not keep (or later delete) a dangling pointer.
    if (QGraphicsObject *object = item->toGraphicsObject()) {
        connect(object, &QObject::destroyed, this, [this](QObject *) {
            m_overlayItem = nullptr;
            setOverlayItem(nullptr, nullptr);
        });
    }
    if (owner) {
        if (QGraphicsObject *object = owner->toGraphicsObject()) {
            connect(object, &QObject::destroyed, this, [this](QObject *) {
                m_overlayOwner = nullptr;
                setOverlayItem(nullptr, nullptr);
            });
        }
    }
    if (item->scene() != this)
        addItem(item);
}

QRectF Scene::pageRect() const
{
    if (!m_documentItem)
        return QRectF();
    return m_documentItem->mapRectToScene(m_documentItem->pageRect());
}

void Scene::render(QPainter *painter, const QRectF &target, const QRectF &source)
{
    const QRectF page = pageRect();
    if (page.isEmpty())
        return;
    const QRectF fraction = source.isNull() ? QRectF(0, 0, 1, 1) : source;
    const QRectF sceneSource(page.left() + fraction.left() * page.width(),
        page.top() + fraction.top() * page.height(), fraction.width() * page.width(),
        fraction.height() * page.height());
    QGraphicsScene::render(painter, target, sceneSource, Qt::KeepAspectRatio);
}

void Scene::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    // Only the left button edits; other presses neither select nor move.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QGraphicsScene::mousePressEvent(event);
}
