#include "documentwindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#ifdef Q_OS_WIN
#include "platform/windows/shellwin.h"
#endif

namespace {

struct VerbEntry
{
    int bit;
    const char *name;
    const char *arguments;
    const char *ddeCommand;
};

// The verbs the shell may offer on a collage file.
const VerbEntry Verbs[] = {
    { DocumentWindow::OpenVerb, "Open", " %1", "[open(\"%1\")]" },
    { DocumentWindow::NewVerb, "New", "-new %1", "[new(\"%1\")]" },
    { DocumentWindow::PrintVerb, "Print", "-print %1", "[print(\"%1\")]" },
};

const QRegularExpression &commandPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^\\[(\\w+)\\((.*)\\)\\]$"));
    return pattern;
}

} // namespace

DocumentWindow::DocumentWindow(QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
    , m_appName(QFileInfo(QCoreApplication::applicationFilePath()).baseName())
    , m_topic(QStringLiteral("system"))
{
}

DocumentWindow::~DocumentWindow()
{
#ifdef Q_OS_WIN
    ShellWin::deleteAtoms(m_appAtom, m_topicAtom);
#endif
}

QList<RegistryValue> DocumentWindow::fileTypeLayout(const QString &progId,
    const QString &description, const QString &executable, int iconIndex, bool useDde, int verbs,
    const QString &appName, const QString &topic)
{
    const QString program = QDir::toNativeSeparators(executable);
    QList<RegistryValue> layout {
        { progId, QString(), description, 0 },
        { progId + QStringLiteral("\\DefaultIcon"), QString(),
            QStringLiteral("\"%1\",%2").arg(program).arg(iconIndex), 0 },
    };
    int group = 0;
    for (const VerbEntry &verb : Verbs) {
        if (!(verbs & verb.bit))
            continue;
        ++group;
        const QString shellKey = progId + QStringLiteral("\\shell\\") + QLatin1String(verb.name);
        layout.append({ shellKey + QStringLiteral("\\command"), QString(),
            QLatin1Char('"') + program + QStringLiteral("\" ") + QLatin1String(verb.arguments),
            group });
        if (!useDde)
            continue;
        const QString ddeKey = shellKey + QStringLiteral("\\ddeexec");
        layout.append({ ddeKey, QString(), QLatin1String(verb.ddeCommand), group });
        layout.append({ ddeKey + QStringLiteral("\\application"), QString(), appName, group });
        layout.append({ ddeKey + QStringLiteral("\\topic"), QString(), topic, group });
    }
    return layout;
}

QList<RegistryValue> DocumentWindow::extensionLayout(
    const QString &extension, const QString &progId)
{
    return { { extension, QString(), progId, 0 },
        { extension + QStringLiteral("\\ShellNew"), QStringLiteral("NullFile"), QString(), 0 } };
}

bool DocumentWindow::registerFileType(const QString &progId, const QString &description,
    const QString &extension, int iconIndex, bool useDde, int verbs)
{
    m_useDde = useDde;
    const QList<RegistryValue> layout = fileTypeLayout(progId, description,
        QCoreApplication::applicationFilePath(), iconIndex, useDde, verbs, m_appName, m_topic);
    int failedGroup = -1;
    for (const RegistryValue &value : layout) {
        if (value.group == failedGroup)
            continue;
        if (!setRegistryValue(value.key, value.data, value.valueName)) {
            if (value.group == 0)
                return false;
            failedGroup = value.group;
        }
    }

    // An extension another program owns stays with it.
    const QString owner = extensionOwner(extension);
    if (!owner.isEmpty() && owner != progId)
        return true;
    for (const RegistryValue &value : extensionLayout(extension, progId)) {
        if (!setRegistryValue(value.key, value.data, value.valueName))
            return false;
    }
    return true;
}

void DocumentWindow::enableShellOpen()
{
#ifdef Q_OS_WIN
    if (m_appAtom == 0 && m_topicAtom == 0)
        ShellWin::addAtoms(m_appName, m_topic, &m_appAtom, &m_topicAtom);
#endif
}

bool DocumentWindow::isCommand(const QString &text)
{
    return commandPattern().match(text).hasMatch();
}

bool DocumentWindow::executeCommand(const QString &command)
{
    const QRegularExpressionMatch match = commandPattern().match(command);
    if (!match.hasMatch())
        return false;
    if (isEnabled())
        dispatch(match.captured(1), match.captured(2));
    return true;
}

void DocumentWindow::dispatch(const QString &verb, const QString &argument)
{
    static const QRegularExpression quoted(QStringLiteral("^\"(.*)\"$"));
    const QRegularExpressionMatch match = quoted.match(argument);
    const auto is = [&verb](const char *name) {
        return verb.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    if (match.hasMatch() && is("open"))
        handleOpen(match.captured(1));
    else if (match.hasMatch() && is("new"))
        handleNew(match.captured(1));
    else if (match.hasMatch() && is("print"))
        handlePrint(match.captured(1));
    else
        handleOtherCommand(verb, argument);
}

void DocumentWindow::handleOpen(const QString &path)
{
    Q_EMIT openFile(path);
}

void DocumentWindow::handleNew(const QString &path)
{
    Q_EMIT newFile(path);
}

void DocumentWindow::handlePrint(const QString &path)
{
    Q_EMIT printFile(path);
}

void DocumentWindow::handleOtherCommand(const QString &, const QString &) { }

bool DocumentWindow::setRegistryValue(
    const QString &key, const QString &data, const QString &valueName)
{
#ifdef Q_OS_WIN
    return ShellWin::setRegistryValue(
        this, QStringLiteral("Software\\Classes\\") + key, data, valueName);
#else
    // Other desktops learn the file type from the installed desktop files.
    Q_UNUSED(key)
    Q_UNUSED(data)
    Q_UNUSED(valueName)
    return true;
#endif
}

QString DocumentWindow::extensionOwner(const QString &extension) const
{
#ifdef Q_OS_WIN
    return ShellWin::classesRootDefault(extension);
#else
    Q_UNUSED(extension)
    return QString();
#endif
}

bool DocumentWindow::nativeEvent(const QByteArray &eventType, void *message, qintptr *result)
{
#ifdef Q_OS_WIN
    QString command;
    if (ShellWin::handleDdeMessage(this, message, m_appAtom, m_topicAtom, result, &command)) {
        if (!command.isEmpty())
            executeCommand(command);
        return true;
    }
#endif
    return QWidget::nativeEvent(eventType, message, result);
}
