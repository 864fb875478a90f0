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

// The ids in registration order: a hash's own order changes from run to
// run, and the template gallery would reshuffle with it.
QList<QByteArray> &registrationOrder()
{
    static QList<QByteArray> ids;
    return ids;
}

QList<ThemeInfo> themesInOrder()
{
    QList<ThemeInfo> result;
    for (const QByteArray &id : std::as_const(registrationOrder()))
        result.append(registry().value(id));
    return result;
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
    return themesInOrder();
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
    if (!registry().contains(info.id))
        registrationOrder().append(info.id);
    registry().insert(info.id, info);
}

QList<QSharedPointer<Template>> ThemeRegistry::templates(Document *document)
{
    QList<QSharedPointer<Template>> result;
    const QList<ThemeInfo> themes = themesInOrder();
    for (const ThemeInfo &theme : themes) {
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
