#include "updateinforeader.h"

#include <QOperatingSystemVersion>
#include <QStringList>
#include <QSysInfo>
#include <QVersionNumber>
#include <QXmlStreamReader>

#include "update/versionkey.h"

namespace {

constexpr int MaxNameLength = 255;
constexpr int Sha256HexLength = 64;

} // namespace

class UpdateInfoReader::Parser
{
public:
    Parser(const UpdateInfoReader &owner, const QByteArray &document)
        : m_owner(owner)
        , m_xml(document)
    {
    }

    UpdateInformation run()
    {
        UpdateInformation info;
        if (m_xml.readNextStartElement()) {
            // The root's name does not matter.
            while (m_xml.readNextStartElement()) {
                if (m_xml.name() == QLatin1String("VersionInfo"))
                    info.entries.append(readEntry(&info.anyVersion));
                else
                    m_xml.skipCurrentElement();
            }
        }
        // Whatever follows the root must be well-formed too.
        while (!m_xml.atEnd())
            m_xml.readNext();
        info.ok = !m_xml.hasError();
        if (!info.ok) {
            info.entries.clear();
            info.anyVersion = false;
        }
        return info;
    }

private:
    UpdateEntry readEntry(bool *anyVersion)
    {
        UpdateEntry entry;
        while (m_xml.readNextStartElement()) {
            const QStringView name = m_xml.name();
            if (name == QLatin1String("current")) {
                entry.version = m_xml.readElementText().trimmed();
                *anyVersion = *anyVersion || !entry.version.isEmpty();
            } else if (name == QLatin1String("build")) {
                entry.build = m_xml.readElementText().trimmed();
            } else if (name == QLatin1String("url")) {
                readAddresses(&entry);
            } else if (name == QLatin1String("changes")) {
                entry.changes = m_xml.readElementText();
            } else if (name == QLatin1String("date")) {
                entry.date = parseDate(m_xml.readElementText());
            } else {
                m_xml.skipCurrentElement();
            }
        }
        return entry;
    }

    void readAddresses(UpdateEntry *entry)
    {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != m_owner.m_platformElement) {
                m_xml.skipCurrentElement();
                continue;
            }
            const QXmlStreamAttributes attributes = m_xml.attributes();
            const QString min = attributes.value(QLatin1String("min")).toString().trimmed();
            const QString max = attributes.value(QLatin1String("max")).toString().trimmed();
            const QString sha256
                = attributes.value(QLatin1String("sha256")).toString().trimmed().toLower();
            const QString address = m_xml.readElementText().trimmed();
            if (VersionKey::osVersionMatches(min, max, m_owner.m_systemVersion)) {
                entry->url = address;
                entry->sha256 = sha256;
            }
        }
    }

    const UpdateInfoReader &m_owner;
    QXmlStreamReader m_xml;
};

UpdateInfoReader::UpdateInfoReader(const QString &platformElement, const QString &systemVersion)
    : m_platformElement(platformElement)
    , m_systemVersion(systemVersion)
{
}

UpdateInformation UpdateInfoReader::read(QByteArray document) const
{
    if (document.size() > MaxDocumentSize)
        return UpdateInformation();
    if (!document.contains("<UpdateInfo>"))
        document = "<UpdateInfo>" + document + "</UpdateInfo>";
    return Parser(*this, document).run();
}

QDate UpdateInfoReader::parseDate(const QString &text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('/'));
    if (parts.size() != 3)
        return QDate();
    int numbers[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        numbers[i] = parts.at(i).trimmed().toInt(&ok);
        if (!ok)
            return QDate();
    }
    return QDate(numbers[2], numbers[1], numbers[0]);
}

bool UpdateInfoReader::isPlainName(const QString &name)
{
    if (name.isEmpty() || name.size() > MaxNameLength || name == QLatin1String(".")
        || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':')
            || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

bool UpdateInfoReader::isSha256(const QString &text)
{
    if (text.size() != Sha256HexLength)
        return false;
    for (const QChar c : text) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (!digit && (c < QLatin1Char('a') || c > QLatin1Char('f')))
            return false;
    }
    return true;
}

QString UpdateInfoReader::currentPlatformElement()
{
#ifdef Q_OS_WIN
    return QStringLiteral("win");
#else
    return QStringLiteral("linux");
#endif
}

QString UpdateInfoReader::currentSystemVersion()
{
#ifdef Q_OS_WIN
    const QOperatingSystemVersion os = QOperatingSystemVersion::current();
    return QStringLiteral("%1.%2").arg(os.majorVersion()).arg(os.minorVersion());
#else
    // The distribution's version ("12" on Debian 12, "22.04" on Ubuntu).
    const QVersionNumber version = QVersionNumber::fromString(QSysInfo::productVersion());
    return QStringLiteral("%1.%2").arg(version.majorVersion()).arg(version.minorVersion());
#endif
}
