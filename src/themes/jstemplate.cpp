#include "jstemplate.h"

#include <QCryptographicHash>
#include <QJSEngine>
#include <QRegularExpression>

#include "model/document.h"
#include "themes/theme.h"
#include "themes/themeregistry.h"

JSTemplate::JSTemplate(
    const QByteArray &script, const QByteArray &themeId, Document *document, QObject *parent)
    : Template(document, parent)
    , m_script(script)
    , m_themeId(themeId)
{
    setName(nameFromScript(script));
}

QString JSTemplate::nameFromScript(const QByteArray &script)
{
    static const QRegularExpression pattern(
        QStringLiteral("template\\.name\\s*=\\s*['\"]([^'\"]+)['\"]"));
    const QRegularExpressionMatch match = pattern.match(QString::fromUtf8(script));
    return match.hasMatch() ? match.captured(1) : QString();
}

QByteArray JSTemplate::templateId() const
{
    return QCryptographicHash::hash(m_script + '|' + m_themeId, QCryptographicHash::Md5).toHex();
}

void JSTemplate::setThemeId(const QString &themeId)
{
    const QByteArray id = themeId.toUtf8();
    if (id == m_themeId)
        return;
    m_themeId = id;
    Q_EMIT themeIdChanged(themeId);
}

void JSTemplate::startEngine()
{
    m_engine = new QJSEngine(this);
    QJSValue global = m_engine->globalObject();
    QJSEngine::setObjectOwnership(this, QJSEngine::CppOwnership);
    global.setProperty(QStringLiteral("template"), m_engine->newQObject(this));
    // Script errors are not reported: a broken template still makes a theme
    // with whatever it managed to set.
    noteError(m_engine->evaluate(QString::fromUtf8(m_script), QString(), 1));
    global.setProperty(QStringLiteral("template"), QJSValue(QJSValue::UndefinedValue));
}

Theme *JSTemplate::createTheme(Document *document)
{
    if (!m_engine)
        startEngine();
    Theme *theme = ThemeRegistry::createTheme(m_themeId, document);
    if (!theme)
        return nullptr;
    QJSValue tune = m_engine->globalObject().property(QStringLiteral("tune"));
    if (tune.isCallable()) {
        // The script reaches the document through the theme; neither may be
        // collected by the engine, whatever their parents.
        QJSEngine::setObjectOwnership(theme, QJSEngine::CppOwnership);
        QJSEngine::setObjectOwnership(document, QJSEngine::CppOwnership);
        noteError(tune.call({ m_engine->newQObject(theme) }));
    }
    return theme;
}

void JSTemplate::noteError(const QJSValue &result)
{
    if (result.isError())
        m_lastError = result.toString();
}

void JSTemplate::signalHandlerException(const QJSValue &) { }
