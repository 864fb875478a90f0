#include "builtinthemes.h"

#include <QCoreApplication>
#include <QIcon>

#include "themes/photodrop/photodroptheme.h"
#include "themes/photogrid/mosaictheme.h"
#include "themes/photogrid/rowstheme.h"
#include "themes/themeregistry.h"

void BuiltInThemes::registerAll()
{
    ThemeRegistry::registerTheme<PhotoDropTheme>(PhotoDropId, QIcon(),
        QCoreApplication::translate("Application", "Photo Drop"),
        QStringLiteral(":/PhotoDropTemplates"));
    ThemeRegistry::registerTheme<MosaicTheme>(MosaicId, QIcon(),
        QCoreApplication::translate("Application", "Mosaic"), QStringLiteral(":/MosaicTemplates"));
    ThemeRegistry::registerTheme<RowsTheme>(RowsId, QIcon(),
        QCoreApplication::translate("Application", "Rows"), QStringLiteral(":/RowsTemplates"));
}
