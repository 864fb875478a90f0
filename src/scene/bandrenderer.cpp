#include "bandrenderer.h"

#include <QImage>
#include <QPainter>
#include <QScopeGuard>

#include "imaging/drawflags.h"
#include "imaging/imagecache.h"
#include "scene/documentrenderer.h"
#include "scene/scene.h"

namespace {

// Installs a queue in the image cache for one pass and hands the previous
// one back (a render started from a progress hook has its own).
class QueueInstalled
{
public:
    explicit QueueInstalled(DecodeQueue *queue)
        : m_outer(ImageCache::instance()->decodeQueue())
    {
        ImageCache::instance()->setDecodeQueue(queue);
    }
    ~QueueInstalled() { ImageCache::instance()->setDecodeQueue(m_outer); }

    Q_DISABLE_COPY(QueueInstalled)

private:
    DecodeQueue *m_outer;
};

constexpr QPainter::RenderHints OutputHints
    = QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform;

} // namespace

BandRenderer::BandRenderer(Document *document, const QSize &size)
    : m_size(size)
    , m_scene(std::make_unique<Scene>(document))
{
    DocumentRenderer::prepareOutputScene(m_scene.get(), document);
}

BandRenderer::~BandRenderer() = default;

void BandRenderer::setProgress(DecodeQueue::Progress progress)
{
    m_queue.setProgress(std::move(progress));
}

void BandRenderer::plan(int bandHeight)
{
    m_bandHeight = qMax(1, bandHeight);
    const QueueInstalled installed(&m_queue);
    m_scene->setRenderFlag(CollectImages, true);
    QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    for (int top = 0; top < m_size.height(); top += m_bandHeight) {
        QPainter painter(&scratch);
        painter.setRenderHints(OutputHints);
        paintBand(&painter, top, qMin(m_bandHeight, m_size.height() - top));
    }
    m_scene->setRenderFlag(CollectImages, false);
    m_queue.start();
}

bool BandRenderer::drawBand(QImage *band, int top)
{
    if (m_queue.isCancelled())
        return false;
    const QueueInstalled installed(&m_queue);
    QPainter painter(band);
    painter.setRenderHints(OutputHints);
    paintBand(&painter, top, qMin(band->height(), m_size.height() - top));
    return !m_queue.isCancelled();
}

void BandRenderer::paintBand(QPainter *painter, int top, int height)
{
    const QRectF page = m_scene->pageRect();
    if (page.isEmpty() || height <= 0)
        return;
    // The scale Scene::render gives the whole page; the band's part of the
    // page is drawn with it, shifted up to the band.
    const qreal scale = qMin(m_size.width() / page.width(), m_size.height() / page.height());
    const QRectF target(0, top, m_size.width(), height);
    const QRectF source(
        page.left(), page.top() + top / scale, m_size.width() / scale, height / scale);
    m_scene->setBandOutput(QRect(0, -top, m_size.width(), m_size.height()));
    const auto unset = qScopeGuard([this] { m_scene->setBandOutput(QRect()); });
    painter->translate(0, -top);
    m_scene->QGraphicsScene::render(painter, target, source, Qt::KeepAspectRatio);
}
