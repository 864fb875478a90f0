#pragma once

// The calls of the shell integration that exist only on Windows: the
// per-user registry, global atoms and the DDE messages of the shell.
#ifdef Q_OS_WIN

#include <QString>
#include <QtGlobal>

class QWidget;

namespace ShellWin {

void addAtoms(const QString &appName, const QString &topic, quint16 *appAtom, quint16 *topicAtom);
void deleteAtoms(quint16 appAtom, quint16 topicAtom);

// Writes one string value below HKEY_CURRENT_USER; a failure is shown to
// the user and returns false.
bool setRegistryValue(
    QWidget *parent, const QString &key, const QString &data, const QString &valueName);
// The default value of a key in the merged classes root; empty when absent.
QString classesRootDefault(const QString &key);

// Answers a DDE message meant for `window`. Returns false for any other
// message. An execute request leaves its command text in `command`.
bool handleDdeMessage(QWidget *window, void *message, quint16 appAtom, quint16 topicAtom,
    qintptr *result, QString *command);

} // namespace ShellWin

#endif
