#include "themeregistry.h"

#include <QDir>
#include <QFile>

#include "themes/jstemplate.h"

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

QList<QSharedPointer<Template>> ThemeRegistry::templates(Document *document)
{
    QList<QSharedPointer<Template>> result;
    for (const ThemeInfo &theme : std::as_const(registry())) {
        const QDir folder(theme.templatesFolder);
        const QStringList files = folder.entryList({ QStringLiteral("*.qjs") },
            QDir::Files | QDir::Readable | QDir::NoDotAndDotDot, QDir::NoSort);
        for (const QString &fileName : files) {
            QFile file(folder.filePath(fileName));
            const QByteArray script
                = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            result.append(QSharedPointer<Template>(new JSTemplate(script, theme.id, document)));
        }
    }
    return result;
}
