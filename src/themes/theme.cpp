#include "theme.h"

#include "model/document.h"
#include "model/imagelist.h"
#include "undo/undostack.h"

Theme::Theme(Document *document)
    : QObject(document)
    , DocumentPart(document)
{
    if (!document)
        return;
    ImageList *images = document->imageList();
    // A theme replaced by another stays alive for undo; it must not follow
    // the list meanwhile, or it would record changes into the new theme's
    // steps. Undo brings the list back to where it was when the theme left.
    connect(images, &QAbstractItemModel::modelReset, this, &Theme::_layoutReset);
    connect(
        images, &QAbstractItemModel::rowsAboutToBeRemoved, this, &Theme::imageRowsAboutToBeRemoved);
    connect(images, &QAbstractItemModel::rowsInserted, this, &Theme::imageRowsInserted);
    connect(images, &QAbstractItemModel::rowsMoved, this, &Theme::imageRowsMoved);
    connect(document, &Document::sizeChanged, this, &Theme::_layoutReset);
}

Theme::~Theme() = default;

QObject *Theme::documentObject() const
{
    return document();
}

QList<QWidget *> Theme::createPropertyWidgets(QWidget *)
{
    return {};
}

void Theme::imageInserted(int row, const QSharedPointer<ImageSource> &image)
{
    Q_UNUSED(row)
    imageInserted(image);
}

void Theme::imageInserted(const QSharedPointer<ImageSource> &) { }

void Theme::imageRemoved(int row, const QSharedPointer<ImageSource> &image)
{
    Q_UNUSED(row)
    imageRemoved(image);
}

void Theme::imageRemoved(const QSharedPointer<ImageSource> &) { }

void Theme::imagesInserted(int first, int count)
{
    ImageList *images = document()->imageList();
    for (int row = first; row < qMin(first + count, images->count()); ++row)
        imageInserted(row, images->at(row));
}

void Theme::removeAllImages()
{
    imagesRemoved(0, document()->imageList()->count());
}

void Theme::imagesRemoved(int first, int count)
{
    ImageList *images = document()->imageList();
    // After a model reset the rows may already be gone; never read past the list.
    for (int row = qMin(first + count, images->count()) - 1; row >= first; --row)
        imageRemoved(row, images->at(row));
}

void Theme::imagesMoved(int, int, int) { }

void Theme::resetLayout()
{
    UndoStack *stack = undoStack();
    if (stack)
        stack->beginMacro(tr("Reseting layout"));
    imageModelReset();
    if (stack)
        stack->endMacro();
}

bool Theme::isCurrent() const
{
    return document() && document()->theme() == this;
}

void Theme::imageRowsAboutToBeRemoved(const QModelIndex &, int start, int end)
{
    if (isCurrent())
        imagesRemoved(start, end - start + 1);
}

void Theme::imageRowsInserted(const QModelIndex &, int start, int end)
{
    if (isCurrent())
        imagesInserted(start, end - start + 1);
}

void Theme::_layoutReset()
{
    if (isCurrent())
        imageModelReset();
}

void Theme::imageModelReset()
{
    if (!document())
        return;
    removeAllImages();
    imagesInserted(0, document()->imageList()->count());
}

void Theme::imageRowsMoved(
    const QModelIndex &, int sourceStart, int sourceEnd, const QModelIndex &, int destinationRow)
{
    if (isCurrent())
        imagesMoved(sourceStart, sourceEnd, destinationRow);
}

Theme::BaseFactory::BaseFactory(const QByteArray &id, const QIcon &icon, const QString &name)
    : m_id(id)
    , m_icon(icon)
    , m_name(name)
{
}

Theme::BaseFactory::~BaseFactory() = default;

Theme *Theme::BaseFactory::tag(Theme *theme) const
{
    theme->setProperty("Theme.Id", m_id);
    theme->setProperty("Theme.Name", m_name);
    theme->setProperty("Theme.icon", m_icon);
    return theme;
}
