#include "platform/CQuietErrorOutput.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace kelvo::platform
{

CQuietErrorOutput::CQuietErrorOutput()
{
    fflush(stderr);
    const int sink = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (sink < 0)
        return;
    m_saved = dup(STDERR_FILENO);
    if (m_saved >= 0)
        dup2(sink, STDERR_FILENO);
    close(sink);
}

CQuietErrorOutput::~CQuietErrorOutput()
{
    if (m_saved < 0)
        return;
    fflush(stderr);
    dup2(m_saved, STDERR_FILENO);
    close(m_saved);
}

} // namespace kelvo::platform
