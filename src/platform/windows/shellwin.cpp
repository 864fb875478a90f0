#include "shellwin.h"

#ifdef Q_OS_WIN

#include <QCoreApplication>
#include <QMessageBox>
#include <QWidget>

#include <windows.h>

#include <dde.h>

namespace ShellWin {

namespace {

QString systemMessage(LSTATUS code)
{
    wchar_t *buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, DWORD(code), 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    const QString text
        = length ? QString::fromWCharArray(buffer, int(length)).trimmed() : QString();
    LocalFree(buffer);
    return text;
}

QString errorTitle()
{
    return QCoreApplication::translate("DocumentWindow", "Error in setting Registry values");
}

} // namespace

void addAtoms(const QString &appName, const QString &topic, quint16 *appAtom, quint16 *topicAtom)
{
    *appAtom = GlobalAddAtomW(reinterpret_cast<LPCWSTR>(appName.utf16()));
    *topicAtom = GlobalAddAtomW(reinterpret_cast<LPCWSTR>(topic.utf16()));
}

void deleteAtoms(quint16 appAtom, quint16 topicAtom)
{
    if (appAtom)
        GlobalDeleteAtom(appAtom);
    if (topicAtom)
        GlobalDeleteAtom(topicAtom);
}

bool setRegistryValue(
    QWidget *parent, const QString &key, const QString &data, const QString &valueName)
{
    HKEY handle = nullptr;
    const LSTATUS opened
        = RegCreateKeyExW(HKEY_CURRENT_USER, reinterpret_cast<LPCWSTR>(key.utf16()), 0, nullptr, 0,
            KEY_SET_VALUE, nullptr, &handle, nullptr);
    if (opened != ERROR_SUCCESS) {
        QMessageBox::warning(parent, errorTitle(), systemMessage(opened));
        return false;
    }
    const LPCWSTR name
        = valueName.isEmpty() ? nullptr : reinterpret_cast<LPCWSTR>(valueName.utf16());
    const DWORD bytes = DWORD((data.size() + 1) * sizeof(wchar_t));
    const LSTATUS set = RegSetValueExW(
        handle, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(data.utf16()), bytes);
    const LSTATUS closed = RegCloseKey(handle);
    if (set != ERROR_SUCCESS || closed != ERROR_SUCCESS) {
        QMessageBox::warning(nullptr, errorTitle(),
            QCoreApplication::translate(
                "DocumentWindow", "registration database update failed for key '%s'.")
                .replace(QStringLiteral("%s"), key));
        return false;
    }
    return true;
}

QString classesRootDefault(const QString &key)
{
    wchar_t buffer[MAX_PATH] = {};
    DWORD bytes = sizeof(buffer);
    if (RegGetValueW(HKEY_CLASSES_ROOT, reinterpret_cast<LPCWSTR>(key.utf16()), nullptr,
            RRF_RT_REG_SZ, nullptr, buffer, &bytes)
        != ERROR_SUCCESS)
        return QString();
    return QString::fromWCharArray(buffer);
}

bool handleDdeMessage(QWidget *window, void *message, quint16 appAtom, quint16 topicAtom,
    qintptr *result, QString *command)
{
    const MSG *msg = static_cast<const MSG *>(message);
    const HWND self = reinterpret_cast<HWND>(window->winId());
    const HWND client = reinterpret_cast<HWND>(msg->wParam);
    switch (msg->message) {
    case WM_DDE_INITIATE: {
        const ATOM app = LOWORD(msg->lParam);
        const ATOM topic = HIWORD(msg->lParam);
        if (app && topic && app == appAtom && topic == topicAtom)
            SendMessageW(client, WM_DDE_ACK, WPARAM(self), MAKELPARAM(appAtom, topicAtom));
        *result = 0;
        return true;
    }
    case WM_DDE_TERMINATE:
        PostMessageW(client, WM_DDE_TERMINATE, WPARAM(self), msg->lParam);
        *result = 0;
        return true;
    case WM_DDE_EXECUTE: {
        const HGLOBAL commands = reinterpret_cast<HGLOBAL>(msg->lParam);
        if (const auto *text = static_cast<const wchar_t *>(GlobalLock(commands))) {
            *command = QString::fromWCharArray(text);
            GlobalUnlock(commands);
        }
        PostMessageW(client, WM_DDE_ACK, WPARAM(self),
            ReuseDDElParam(msg->lParam, WM_DDE_EXECUTE, WM_DDE_ACK, 0x8000, UINT_PTR(commands)));
        *result = 0;
        return true;
    }
    default:
        return false;
    }
}

} // namespace ShellWin

#endif
