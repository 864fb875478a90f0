#include "httptestserver.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    default:
        return "Status";
    }
}

} // namespace

HttpTestServer::HttpTestServer()
{
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection())
            serve(socket);
    });
}

QUrl HttpTestServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

void HttpTestServer::setResponse(
    const QByteArray &method, const QByteArray &path, const Response &response)
{
    m_responses.insert(method + ' ' + path, response);
}

void HttpTestServer::setResponse(const QByteArray &path, const Response &response)
{
    setResponse("GET", path, response);
    setResponse("HEAD", path, response);
}

void HttpTestServer::redirect(const QByteArray &from, const QByteArray &location, int status)
{
    Response response;
    response.status = status;
    response.headers.append({ "Location", location });
    setResponse(from, response);
}

QList<QByteArray> HttpTestServer::requestLines() const
{
    QList<QByteArray> lines;
    for (const Request &request : m_requests)
        lines.append(request.method + ' ' + request.path);
    return lines;
}

void HttpTestServer::serve(QTcpSocket *socket)
{
    socket->setParent(this);
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    auto buffer = QSharedPointer<QByteArray>::create();
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
        buffer->append(socket->readAll());
        const int end = buffer->indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QList<QByteArray> lines = buffer->left(end).split('\n');
        buffer->clear();
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        Request request;
        request.method = first.value(0);
        request.path = first.value(1);
        for (int i = 1; i < lines.size(); ++i) {
            const int colon = lines.at(i).indexOf(':');
            if (colon > 0)
                request.headers.insert(lines.at(i).left(colon).trimmed().toLower(),
                    lines.at(i).mid(colon + 1).trimmed());
        }
        m_requests.append(request);
        answer(socket, request);
    });
}

void HttpTestServer::answer(QTcpSocket *socket, const Request &request)
{
    Response response;
    const auto found = m_responses.constFind(request.method + ' ' + request.path);
    if (found != m_responses.constEnd()) {
        response = *found;
    } else {
        response.status = 404;
        response.body = "not here";
    }
    if (response.hang)
        return;

    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' '
        + reasonPhrase(response.status) + "\r\nConnection: close\r\n";
    for (const auto &[name, value] : std::as_const(response.headers))
        head += name + ": " + value + "\r\n";
    if (response.contentLength != -2) {
        const qint64 length
            = response.contentLength >= 0 ? response.contentLength : response.body.size();
        head += "Content-Length: " + QByteArray::number(length) + "\r\n";
    }
    head += "\r\n";
    socket->write(head);

    QByteArray body = request.method == "HEAD" ? QByteArray() : response.body;
    if (response.cutAfter >= 0)
        body.truncate(response.cutAfter);
    if (response.pieceSize > 0) {
        sendPieces(socket, body, response.pieceSize, response.pieceDelayMs);
        return;
    }
    socket->write(body);
    socket->disconnectFromHost();
}

void HttpTestServer::sendPieces(QTcpSocket *socket, const QByteArray &body, int size, int delayMs)
{
    QPointer<QTcpSocket> guard(socket);
    if (!guard || guard->state() != QAbstractSocket::ConnectedState)
        return;
    if (body.isEmpty()) {
        socket->disconnectFromHost();
        return;
    }
    socket->write(body.left(size));
    QTimer::singleShot(delayMs, this, [this, guard, rest = body.mid(size), size, delayMs] {
        if (guard)
            sendPieces(guard, rest, size, delayMs);
    });
}
