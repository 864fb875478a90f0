#include "themeregistry.h"

namespace {

QHash<QByteArray, ThemeInfo> &registry()
{
    static QHash<QByteArray, ThemeInfo> themes;
    return themes;
}

} // namespace

bool ThemeRegistry::contains(const QByteArray &id)
{
    return registry().contains(id);
}

ThemeInfo ThemeRegistry::info(const QByteArray &id)
{
    return registry().value(id);
}

QList<ThemeInfo> ThemeRegistry::themes()
{
    return registry().values();
}

Theme *ThemeRegistry::createTheme(const QByteArray &id, Document *document)
{
    const auto it = registry().constFind(id);
    if (it == registry().constEnd() || !it->factory)
        return nullptr;
    return it->factory->create(document);
}

void ThemeRegistry::insert(const ThemeInfo &info)
{
    registry().insert(info.id, info);
}
