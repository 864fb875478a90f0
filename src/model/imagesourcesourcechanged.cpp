#include "imagesourcesourcechanged.h"

#include <QCoreApplication>

#include "model/imagesource.h"
#include "undo/commandids.h"

ImageSourceSourceChanged::ImageSourceSourceChanged(
    ImageSource *source, const QUrl &oldUrl, const QUrl &newUrl)
    : UndoCommand(QCoreApplication::translate("ImageSource", "Changing image source address"))
    , m_source(source)
    , m_oldUrl(oldUrl)
    , m_newUrl(newUrl)
{
}

void ImageSourceSourceChanged::redo()
{
    m_source->assignSource(m_newUrl);
}

void ImageSourceSourceChanged::undo()
{
    m_source->assignSource(m_oldUrl);
}

int ImageSourceSourceChanged::id() const
{
    return CommandId::ImageSourceAddress;
}

bool ImageSourceSourceChanged::mergeWith(const QUndoCommand *other)
{
    if (other->id() != id())
        return false;
    const auto *command = dynamic_cast<const ImageSourceSourceChanged *>(other);
    if (!command || command->m_source != m_source)
        return false;
    m_newUrl = command->m_newUrl;
    updateText(command->text());
    return true;
}
