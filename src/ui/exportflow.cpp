#include "exportflow.h"

#include <QWidget>

#include "model/document.h"

bool ExportFlow::exportDocument(Document *document, QWidget *parent)
{
    Q_UNUSED(parent)
    return document != nullptr && false;
}

bool ExportFlow::printDocument(Document *document, QWidget *parent)
{
    Q_UNUSED(parent)
    return document != nullptr && false;
}
