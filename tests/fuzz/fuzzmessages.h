#pragma once

// The fuzz targets' message handler: warnings about damaged input come by
// the thousand; only a fatal message means something.

#include <QString>

#include <cstdio>
#include <cstdlib>

inline void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg) {
        fprintf(stderr, "fatal: %s\n", qPrintable(message));
        abort();
    }
}
