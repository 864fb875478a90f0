#include "filesizelimit.h"

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
#ifdef Q_OS_LINUX
    if (getrlimit(RLIMIT_FSIZE, &m_previous) != 0)
        return;
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = m_previous;
    if (bytes > 0)
        limited.rlim_cur = rlim_t(bytes);
    m_active = setrlimit(RLIMIT_FSIZE, &limited) == 0;
#else
    Q_UNUSED(bytes);
#endif
}

FileSizeLimit::~FileSizeLimit()
{
#ifdef Q_OS_LINUX
    if (m_active)
        setrlimit(RLIMIT_FSIZE, &m_previous);
    if (m_previousHandler != SIG_ERR)
        std::signal(SIGXFSZ, m_previousHandler);
#endif
}
