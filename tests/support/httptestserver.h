#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

// A tiny HTTP/1.1 server on 127.0.0.1 answering canned responses, for
// tests of code that talks to web servers. Every answer closes its
// connection. Unknown paths get 404.
class HttpTestServer : public QObject
{
public:
    struct Response
    {
        int status = 200;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        // Content-Length to announce instead of the body's size; -2 sends
        // none, so that the end of the body is the end of the connection.
        qint64 contentLength = -1;
        // Never answer: the connection stays open and silent.
        bool hang = false;
        // Send the body in pieces of this many bytes, one per `pieceDelayMs`.
        int pieceSize = 0;
        int pieceDelayMs = 0;
        // Stop after this many bytes of the body and close the connection.
        qint64 cutAfter = -1;
    };

    struct Request
    {
        QByteArray method;
        QByteArray path;
        QHash<QByteArray, QByteArray> headers; // names in lower case
    };

    HttpTestServer();

    QUrl url(const QString &path) const;
    void setResponse(const QByteArray &method, const QByteArray &path, const Response &response);
    // The same answer to GET and HEAD.
    void setResponse(const QByteArray &path, const Response &response);
    void redirect(const QByteArray &from, const QByteArray &location, int status = 302);
    const QList<Request> &requests() const { return m_requests; }
    QList<QByteArray> requestLines() const; // "GET /info", ...

private:
    void serve(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const Request &request);
    void sendPieces(QTcpSocket *socket, const QByteArray &body, int size, int delayMs);

    QTcpServer m_server;
    QHash<QByteArray, Response> m_responses; // "METHOD path"
    QList<Request> m_requests;
};
