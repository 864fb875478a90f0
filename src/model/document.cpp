#include "document.h"

#include "model/assignchanged.h"
#include "model/imagelist.h"
#include "model/stickerproperties.h"
#include "model/textoverlayproperties.h"
#include "scene/documentrenderer.h"
#include "themes/theme.h"
#include "themes/themeregistry.h"
#include "undo/commandids.h"
#include "undo/propertyundocommand.h"
#include "undo/undostack.h"

Document::Document(bool withUndoStack, QObject *parent)
    : QObject(parent)
    , DocumentPart(this)
    , m_imageList(new ImageList(this, this))
{
    if (withUndoStack)
        m_undoStack = QSharedPointer<UndoStack>::create();
}

Document::Document(ImageList *sharedImageList, QObject *parent)
    : QObject(parent)
    , DocumentPart(this)
    , m_imageList(sharedImageList)
{
}

Document::~Document()
{
    // Themes are children of the document; delete them while the image list
    // they listen to still exists.
    const QList<Theme *> themes = findChildren<Theme *>(QString(), Qt::FindDirectChildrenOnly);
    qDeleteAll(themes);
}

Document *Document::createPreviewCopy(QObject *parent) const
{
    auto *copy = new Document(m_imageList, parent);
    copy->m_pageSize = m_pageSize;
    return copy;
}

Scene *Document::createScene(QObject *parent)
{
    return DocumentRenderer::createScene(this, parent);
}

void Document::render(QPainter *painter, const QRectF &target, const QRectF &source)
{
    DocumentRenderer::render(this, painter, target, source);
}

QString Document::fileFilter()
{
    return tr("Collage (*.tsq)");
}

TextOverlayProperties *Document::addTextOverlay()
{
    auto *overlay = new TextOverlayProperties(this);
    m_textOverlays.append(overlay);
    Q_EMIT textOverlayAdded(overlay);
    return overlay;
}

StickerProperties *Document::addSticker(const QString &source)
{
    auto *sticker = new StickerProperties(this);
    if (!source.isEmpty())
        sticker->setSource(source);
    m_stickers.append(sticker);
    Q_EMIT stickerAdded(sticker);
    return sticker;
}

void Document::setPageSize(const PageSize &pageSize)
{
    setUndoable<&Document::assignPageSize, &Document::pageSize>(
        this, tr("Changing page size"), pageSize, CommandId::NoMerge);
}

void Document::setTheme(Theme *theme)
{
    setUndoable<&Document::assignTheme, &Document::theme>(
        this, tr("Changing theme"), theme, CommandId::NoMerge);
}

void Document::setThemeId(const QByteArray &id)
{
    setUndoable<&Document::assignThemeId, &Document::themeId>(
        this, tr("Changing theme"), id, CommandId::NoMerge);
}

void Document::assignPageSize(const PageSize &pageSize)
{
    if (!assignChanged(m_pageSize, pageSize))
        return;
    Q_EMIT pageSizeChanged(m_pageSize);
    Q_EMIT sizeChanged(m_pageSize.size());
}

void Document::assignTheme(Theme *theme)
{
    if (theme == m_theme)
        return;
    // With an undo stack the replaced theme stays alive: the command that
    // replaced it brings it back on undo.
    if (!m_undoStack && m_theme)
        m_theme->deleteLater();
    m_theme = theme;
    // A null theme comes from an id that no kind is registered under; the
    // document keeps that id.
    if (theme)
        m_themeId = theme->property("Theme.Id").toByteArray();
    Q_EMIT themeChanged(m_theme);
    Q_EMIT themeIdChanged(m_themeId);
}

void Document::assignThemeId(const QByteArray &id)
{
    if (!assignChanged(m_themeId, id))
        return;
    Q_EMIT themeIdChanged(m_themeId);
    setTheme(ThemeRegistry::createTheme(id, this));
}
