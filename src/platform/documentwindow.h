#pragma once

#include <QList>
#include <QString>
#include <QWidget>

// One string value of the per-user file-type registration.
struct RegistryValue
{
    QString key; // below the user's classes root
    QString valueName; // empty: the key's default value
    QString data;
    // Writes of one group stop at the first failure; a failure in group 0
    // (the type's name and icon) stops the whole registration.
    int group = 0;

    bool operator==(const RegistryValue &other) const
    {
        return key == other.key && valueName == other.valueName && data == other.data
            && group == other.group;
    }
};

// The program's end of the desktop shell: registers the collage file type
// and takes shell commands of the form [verb("argument")] — from the Windows
// shell's DDE conversation, or from a second start of the program on other
// systems — and turns them into open, new and print requests.
class DocumentWindow : public QWidget
{
    Q_OBJECT

public:
    enum Verb { OpenVerb = 1, NewVerb = 2, PrintVerb = 4 };

    explicit DocumentWindow(QWidget *parent = nullptr, Qt::WindowFlags flags = {});
    ~DocumentWindow() override;

    QString appName() const { return m_appName; }
    QString topic() const { return m_topic; }
    bool useDde() const { return m_useDde; }

    // What registerFileType writes for the type itself, in order.
    static QList<RegistryValue> fileTypeLayout(const QString &progId, const QString &description,
        const QString &executable, int iconIndex, bool useDde, int verbs, const QString &appName,
        const QString &topic);
    // What it writes for the extension when no other program owns it.
    static QList<RegistryValue> extensionLayout(const QString &extension, const QString &progId);

    bool registerFileType(const QString &progId, const QString &description,
        const QString &extension, int iconIndex, bool useDde, int verbs);
    void enableShellOpen();

    // Parses one "[verb(argument)]" command and dispatches it; false when
    // the text is no command. Ignored while the window is disabled.
    bool executeCommand(const QString &command);
    static bool isCommand(const QString &text);
    void dispatch(const QString &verb, const QString &argument);

Q_SIGNALS:
    void openFile(const QString &path);
    void newFile(const QString &path);
    void printFile(const QString &path);

protected:
    virtual void handleOpen(const QString &path);
    virtual void handleNew(const QString &path);
    virtual void handlePrint(const QString &path);
    virtual void handleOtherCommand(const QString &verb, const QString &argument);

    // The one writer of the registration, and the reader of an extension's
    // current owner (empty when unowned or unreadable).
    virtual bool setRegistryValue(
        const QString &key, const QString &data, const QString &valueName);
    virtual QString extensionOwner(const QString &extension) const;

    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    QString m_appName;
    QString m_topic;
    bool m_useDde = false;
    quint16 m_appAtom = 0;
    quint16 m_topicAtom = 0;
};
