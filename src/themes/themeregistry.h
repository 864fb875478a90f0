#pragma once

#include <QByteArray>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QString>

#include "themes/themeinfo.h"

class Document;
class Template;

// The process-wide table of theme kinds, filled at start-up before the
// event loop runs and only read afterwards.
class ThemeRegistry
{
public:
    template<typename T>
    static void registerTheme(const QByteArray &id, const QIcon &icon, const QString &name,
        const QString &templatesFolder)
    {
        if (contains(id))
            return;
        auto factory = QSharedPointer<Theme::Factory<T>>::create(id, icon, name);
        insert(ThemeInfo { id, icon, name, factory, templatesFolder });
    }

    static bool contains(const QByteArray &id);
    static ThemeInfo info(const QByteArray &id);
    static QList<ThemeInfo> themes();
    // Null when no kind is registered under the id.
    static Theme *createTheme(const QByteArray &id, Document *document);
    // Every template script of every registered kind, made for the document.
    static QList<QSharedPointer<Template>> templates(Document *document);

private:
    static void insert(const ThemeInfo &info);
};
