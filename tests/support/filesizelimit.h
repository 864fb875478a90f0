#pragma once

#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#endif

// Caps the size of the files this process writes for as long as it lives,
// so that a write past the cap fails the way it does on a full disk: with
// an error instead of the SIGXFSZ that would end the test. A cap of 0 or
// less leaves the size alone. Only Linux has the cap; elsewhere isActive()
// is false and a test that needs it skips.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    Q_DISABLE_COPY(FileSizeLimit)

    bool isActive() const { return m_active; }

private:
#ifdef Q_OS_LINUX
    rlimit m_previous {};
    void (*m_previousHandler)(int) = SIG_ERR; // SIG_ERR: not replaced
#endif
    bool m_active = false;
};
