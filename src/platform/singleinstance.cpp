#include "singleinstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

#include "platform/documentwindow.h"

namespace {

constexpr char Acknowledgement[] = "ok\n";
// How long a start waits for a simultaneous start to settle who listens.
constexpr int StartLockTimeoutMs = 5000;
constexpr int ConnectTimeoutMs = 1000;

} // namespace

SingleInstance::SingleInstance(const QString &socketPath, QObject *parent)
    : QObject(parent)
    , m_socketPath(socketPath)
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultSocketPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/tesselo.socket");
}

QStringList SingleInstance::openCommands(const QStringList &files)
{
    QStringList commands;
    for (const QString &file : files) {
        const QString path = QFileInfo(file).absoluteFilePath();
        if (path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r')))
            return {};
        commands.append(QStringLiteral("[open(\"%1\")]").arg(path));
    }
    return commands;
}

bool SingleInstance::isListening() const
{
    return m_server && m_server->isListening();
}

bool SingleInstance::listen()
{
    if (isListening())
        return true;
    // Two starts at the same moment: the lock makes one of them find the
    // other's socket instead of both removing and creating it.
    QLockFile lock(m_socketPath + QStringLiteral(".lock"));
    lock.setStaleLockTime(StartLockTimeoutMs);
    if (!lock.tryLock(StartLockTimeoutMs))
        return false;

    QLocalSocket probe;
    probe.connectToServer(m_socketPath);
    if (probe.waitForConnected(ConnectTimeoutMs)) {
        probe.abort();
        return false;
    }
    // Nobody answers: whatever socket file is there was left by a crash.
    QLocalServer::removeServer(m_socketPath);

    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    if (!m_server->listen(m_socketPath)) {
        delete m_server;
        m_server = nullptr;
        return false;
    }
    return true;
}

bool SingleInstance::forward(const QStringList &commands, int timeoutMs) const
{
    if (commands.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(qMin(timeoutMs, ConnectTimeoutMs)))
        return false;
    QByteArray batch;
    for (const QString &command : commands)
        batch += command.toUtf8() + '\n';
    batch += '\n';
    if (batch.size() > MaxBatchBytes)
        return false;
    socket.write(batch);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (socket.bytesAvailable() < qint64(sizeof(Acknowledgement) - 1)) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.readAll().startsWith(Acknowledgement);
}

void SingleInstance::acceptConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        m_buffers.insert(socket, QByteArray());
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readBatch(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] { drop(socket); });
        // A client that never finishes its batch is cut off.
        QTimer::singleShot(ConnectionTimeoutMs, socket, [this, socket] { drop(socket); });
    }
}

void SingleInstance::readBatch(QLocalSocket *socket)
{
    if (!m_buffers.contains(socket))
        return;
    QByteArray &buffer = m_buffers[socket];
    buffer += socket->read(MaxBatchBytes + 1 - buffer.size());
    if (buffer.size() > MaxBatchBytes) {
        drop(socket);
        return;
    }
    // The batch ends with an empty line; act only on a whole, valid batch.
    const int end = buffer.indexOf("\n\n");
    if (end < 0 && !buffer.startsWith('\n'))
        return;
    const QList<QByteArray> lines = buffer.left(qMax(0, end)).split('\n');
    QStringList commands;
    for (const QByteArray &line : lines) {
        if (line.isEmpty())
            continue;
        const QString command = QString::fromUtf8(line);
        if (!DocumentWindow::isCommand(command)) {
            drop(socket);
            return;
        }
        commands.append(command);
    }
    socket->write(Acknowledgement);
    socket->flush();
    m_buffers.remove(socket);
    socket->disconnectFromServer();
    socket->deleteLater();
    // Opening a collage may take long; the sender has its answer already.
    for (const QString &command : std::as_const(commands))
        QTimer::singleShot(0, this, [this, command] { Q_EMIT commandReceived(command); });
}

void SingleInstance::drop(QLocalSocket *socket)
{
    if (!m_buffers.remove(socket))
        return;
    socket->abort();
    socket->deleteLater();
}
