#include "textoverlayproperties.h"

#include "model/document.h"

TextOverlayProperties::TextOverlayProperties(Document *document)
    : QObject(document)
    , DocumentPart(document)
{
}
