#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;
class QTimer;

// Keeps one running Tesselo per user: the first start listens on a local
// socket in the user's runtime folder, later starts hand their commands
// ("[open(\"/path\")]", one per line) to it and leave.
//
// The socket is a door into the running program, so the first instance
// trusts nothing it reads: a connection must send a short batch of
// well-formed commands ended by an empty line within a few seconds, or it
// is dropped and nothing of it is acted on.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // Bounds on one connection: a few kilobytes, a few seconds.
    static constexpr int MaxBatchBytes = 16 * 1024;
    static constexpr int ConnectionTimeoutMs = 3000;

    explicit SingleInstance(const QString &socketPath, QObject *parent = nullptr);
    ~SingleInstance() override;

    // "tesselo.socket" in the user's runtime folder.
    static QString defaultSocketPath();
    // The commands that hand these files to the running program; paths are
    // made absolute. Empty when a path cannot be carried on one line.
    static QStringList openCommands(const QStringList &files);

    // Tries to become the first instance: true when this process now
    // listens, false when another instance already does (or listening
    // failed). Starts that race each other end with one listener.
    bool listen();
    bool isListening() const;
    // Sends the commands to the running instance and waits for its answer.
    bool forward(const QStringList &commands, int timeoutMs = ConnectionTimeoutMs) const;

Q_SIGNALS:
    void commandReceived(const QString &command);

private:
    void acceptConnection();
    void readBatch(QLocalSocket *socket);
    void drop(QLocalSocket *socket);

    QString m_socketPath;
    QLocalServer *m_server = nullptr;
    QHash<QLocalSocket *, QByteArray> m_buffers;
};
