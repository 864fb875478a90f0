#pragma once

#include <QByteArray>
#include <QString>

// Version strings as the update checker compares them. A version becomes a
// five-byte key compared byte by byte as unsigned values:
//
//   "1.2.10 beta 3"  ->  [ 1 | 2 | 10 | 0 | 3 ]
//   "1.2.10"         ->  [ 1 | 2 | 10 | 0 | 255 ]
//                          major minor patch fourth  beta (255 = release)
//
// so a beta sorts below the release with the same numbers.
namespace VersionKey {

QByteArray versionKey(const QString &version);

bool isBeta(const QString &version);

// Whether `entry` is newer than `running`. Across the beta line only the
// four number bytes count: a release is offered to a tester of its own beta,
// a beta is offered only to a user of an older release.
bool isNewer(const QString &entry, const QString &running);

// A rough day of the year, month × 31 + day, of a build string that starts
// with a two-digit day and a two-digit month ("1508" is 15 August); 0 when
// the string does not start with a valid day and month.
int buildDayIndex(const QString &build);

// Builds carry no year; a build more than half a year "older" is taken to
// be from early in the next year.
bool isNewerBuild(const QString &entryBuild, const QString &runningBuild);

// Whether the system version `os` lies in [min, max]; an empty bound is open.
bool osVersionMatches(const QString &min, const QString &max, const QString &os);

} // namespace VersionKey
