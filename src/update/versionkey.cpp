#include "versionkey.h"

#include <QRegularExpression>
#include <QStringList>

namespace VersionKey {

namespace {

constexpr int KeyLength = 5;
constexpr int NumberBytes = 4;
constexpr unsigned char ReleaseMark = 255;
constexpr int HighestBeta = 254;
// Half a year: a build this far "behind" belongs to the next year.
constexpr int YearWrapDays = 186;

const QRegularExpression &betaPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("beta\\s*([0-9]+)"), QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

} // namespace

QByteArray versionKey(const QString &version)
{
    QByteArray key(KeyLength, char(0));
    key[KeyLength - 1] = char(ReleaseMark);

    QString numbers = version;
    const QRegularExpressionMatch beta = betaPattern().match(version);
    if (beta.hasMatch()) {
        numbers.truncate(beta.capturedStart());
        bool ok = false;
        const qulonglong number = beta.captured(1).toULongLong(&ok);
        key[KeyLength - 1] = char(!ok || number >= HighestBeta ? HighestBeta : int(number));
    }

    const QStringList parts = numbers.split(QLatin1Char('.'));
    for (int i = 0; i < NumberBytes && i < parts.size(); ++i) {
        bool ok = false;
        const uint part = parts.at(i).trimmed().toUInt(&ok, 10);
        if (!ok || part > 255)
            break;
        key[i] = char(part);
    }
    return key;
}

bool isBeta(const QString &version)
{
    return version.contains(QLatin1String("beta"), Qt::CaseInsensitive);
}

bool isNewer(const QString &entry, const QString &running)
{
    // QByteArray compares its bytes as unsigned values.
    const QByteArray l = versionKey(entry);
    const QByteArray r = versionKey(running);
    const bool entryBeta = isBeta(entry);
    const bool runningBeta = isBeta(running);
    if (entryBeta && !runningBeta)
        return l.left(NumberBytes) > r.left(NumberBytes);
    if (runningBeta && !entryBeta)
        return l.left(NumberBytes) >= r.left(NumberBytes);
    return l > r;
}

int buildDayIndex(const QString &build)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{2})(\\d{2})"));
    const QRegularExpressionMatch match = pattern.match(build);
    if (!match.hasMatch())
        return 0;
    const int day = match.captured(1).toInt();
    const int month = match.captured(2).toInt();
    if (day < 1 || day > 31 || month < 1 || month > 12)
        return 0;
    return month * 31 + day;
}

bool isNewerBuild(const QString &entryBuild, const QString &runningBuild)
{
    if (entryBuild.isEmpty() || runningBuild.isEmpty())
        return false;
    const int a = buildDayIndex(entryBuild);
    const int b = buildDayIndex(runningBuild);
    if (a > b)
        return a - b < YearWrapDays;
    if (a < b)
        return b - a >= YearWrapDays;
    return false;
}

bool osVersionMatches(const QString &min, const QString &max, const QString &os)
{
    const QByteArray key = versionKey(os);
    if (!min.isEmpty() && key < versionKey(min))
        return false;
    if (!max.isEmpty() && key > versionKey(max))
        return false;
    return true;
}

} // namespace VersionKey
