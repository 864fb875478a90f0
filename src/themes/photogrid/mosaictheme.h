#pragma once

#include "themes/photogrid/photogridtheme.h"

// The Mosaic: a photo grid that grows by splitting. Each new image takes
// part of the largest cell, cut as the photo's proportions suggest; a
// removed image's cell is handed to another image, and the next new image
// fills such a doubled cell instead of splitting. The random numbers (turns,
// shares, heirs) all come from RandomGenerator, so a seeded run lays out
// the same way every time.
class MosaicTheme : public PhotoGridTheme
{
    Q_OBJECT

public:
    explicit MosaicTheme(Document *document);
    ~MosaicTheme() override;

    QList<QWidget *> createPropertyWidgets(QWidget *parent) override;

    using PhotoGridTheme::imageInserted;
    using PhotoGridTheme::imageRemoved;
    void imageInserted(const QSharedPointer<ImageSource> &image) override;
    void imageRemoved(const QSharedPointer<ImageSource> &image) override;

private:
    void splitLargestCell(PhotoGridItemProperties *item, const QSharedPointer<ImageSource> &image);
};
