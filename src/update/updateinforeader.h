#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

// One "VersionInfo" entry of the update information, with the installer
// address chosen for this system (empty when no address suits it).
struct UpdateEntry
{
    QString version;
    QString build;
    QString url;
    QString sha256; // lower-case hex; empty when the entry names none
    QString changes;
    QDate date;
};

struct UpdateInformation
{
    bool ok = false; // false: the document is not well-formed or too big
    bool anyVersion = false; // some entry named a version at all
    QList<UpdateEntry> entries; // in document order
};

// Reads the update information, an XML document of untrusted bytes:
//
//   <UpdateInfo>
//     <VersionInfo>
//       <current>1.0.3</current> <build>1508</build> <date>15/8/2023</date>
//       <changes>- Faster export</changes>
//       <url><linux min="12" sha256="...">https://.../tesselo.deb</linux>
//            <win min="6.1">https://.../tesselo.exe</win></url>
//     </VersionInfo>
//   </UpdateInfo>
//
// Only the address elements named after this platform count, and of those
// the last whose min/max range holds the system version.
class UpdateInfoReader
{
public:
    // Far more than any real release history; a bigger answer is refused.
    static constexpr qint64 MaxDocumentSize = 1024 * 1024;

    UpdateInfoReader(const QString &platformElement, const QString &systemVersion);

    UpdateInformation read(QByteArray document) const;

    // "day/month/year"; anything else gives an invalid date.
    static QDate parseDate(const QString &text);
    // A name that can become one folder or file name inside our download
    // folder: no separators, no "." or "..", no control characters.
    static bool isPlainName(const QString &name);
    static bool isSha256(const QString &text);

    // The element name of this platform's installers ("linux", "win").
    static QString currentPlatformElement();
    // The system version as "major.minor".
    static QString currentSystemVersion();

private:
    class Parser;

    QString m_platformElement;
    QString m_systemVersion;
};
