#pragma once

#include <QObject>

#include "model/documentpart.h"

// A block of free text placed on the page. Owned by its document.
class TextOverlayProperties : public QObject, public DocumentPart
{
    Q_OBJECT

public:
    explicit TextOverlayProperties(Document *document);
};
