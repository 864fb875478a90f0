#pragma once

#include <QUrl>

#include "undo/undocommand.h"

class ImageSource;

// Changing the file address of an image source. Consecutive changes of one
// source merge into one step that restores the first address.
class ImageSourceSourceChanged : public UndoCommand
{
public:
    ImageSourceSourceChanged(ImageSource *source, const QUrl &oldUrl, const QUrl &newUrl);

    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand *other) override;

    ImageSource *imageSource() const { return m_source; }
    QUrl oldUrl() const { return m_oldUrl; }
    QUrl newUrl() const { return m_newUrl; }

private:
    ImageSource *m_source;
    QUrl m_oldUrl;
    QUrl m_newUrl;
};
