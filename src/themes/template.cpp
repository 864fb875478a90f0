#include "template.h"

#include <QPainter>
#include <QUrl>

#include "model/assignchanged.h"
#include "model/document.h"
#include "model/imagelist.h"
#include "scene/scene.h"

const QString Template::SampleImage = QStringLiteral(":/imageTemplate.png");

Template::Template(Document *document, QObject *parent)
    : QObject(parent)
{
    if (document && document->imageList()->count() > 0) {
        m_previewDocument.reset(document->createPreviewCopy());
    } else {
        m_previewDocument.reset(new Document(false));
        const QList<QUrl> samples(5, QUrl::fromLocalFile(SampleImage));
        m_previewDocument->imageList()->insertUrls(0, samples, false);
    }
    // Until a page size is chosen the preview keeps the page it was made
    // with: a page without a size has nothing to lay out on.
    if (m_currentPageSize.units() >= 0)
        m_previewDocument->setPageSize(m_currentPageSize);
}

Template::~Template() = default;

QByteArray Template::templateId() const
{
    return QByteArray();
}

void Template::setName(const QString &name)
{
    if (assignChanged(m_name, name))
        Q_EMIT nameChanged(m_name);
}

void Template::setCurrentPageSize(const PageSize &pageSize)
{
    if (pageSize == m_currentPageSize)
        return;
    m_currentPageSize = pageSize;
    if (pageSize.units() >= 0)
        m_previewDocument->setPageSize(pageSize);
    Q_EMIT currentPageSizeChanged(pageSize);
}

QPixmap Template::renderPreview(const QSize &size)
{
    Document *document = m_previewDocument.data();
    document->setTheme(createTheme(document));

    QScopedPointer<Scene> scene(new Scene(document));
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHints(
        QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    const QRectF rect(QPointF(0, 0), size);
    scene->setSceneRect(rect);
    scene->QGraphicsScene::render(&painter, rect, rect, Qt::KeepAspectRatio);
    painter.end();
    return pixmap;
}
