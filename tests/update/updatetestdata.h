#pragma once

// Update information and answers for the update tests' loopback server.

#include <QByteArray>
#include <QCoreApplication>
#include <QStandardPaths>
#include <QString>

#include "support/httptestserver.h"

namespace UpdateTestData {

using Response = HttpTestServer::Response;

// The test runs as Tesselo 0.9.6, with settings and downloads kept apart.
inline void setUpApplication()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("Tesselo"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quorvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral("0.9.6"));
}

// One "VersionInfo" with one linux address; `extra` follows the addresses.
inline QByteArray entry(const QString &version, const QString &address,
    const QByteArray &attributes = QByteArray(), const QByteArray &extra = QByteArray())
{
    return "<VersionInfo><current>" + version.toUtf8() + "</current><url><linux" + attributes + ">"
        + address.toUtf8() + "</linux></url>" + extra + "</VersionInfo>";
}

// The whole document; "@" in its addresses stands for `server`.
inline QByteArray information(const QByteArray &entries, const QString &server)
{
    const QByteArray document = "<?xml version=\"1.0\"?>\n<UpdateInfo>" + entries + "</UpdateInfo>";
    return QByteArray(document).replace('@', server.toUtf8());
}

inline Response ok(const QByteArray &body, int pieceSize = 0, int pieceDelayMs = 0)
{
    Response response;
    response.body = body;
    response.pieceSize = pieceSize;
    response.pieceDelayMs = pieceDelayMs;
    return response;
}

} // namespace UpdateTestData
