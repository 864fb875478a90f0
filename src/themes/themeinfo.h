#pragma once

#include <QByteArray>
#include <QIcon>
#include <QSharedPointer>
#include <QString>

#include "themes/theme.h"

// One registered theme kind.
struct ThemeInfo
{
    QByteArray id;
    QIcon icon;
    QString name;
    QSharedPointer<Theme::BaseFactory> factory;
    QString templatesFolder;
};
