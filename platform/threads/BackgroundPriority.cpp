#include "platform/threads/BackgroundPriority.h"

#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

// Nice 10: about a tenth of the share of a normal thread when both want a core.
constexpr int backgroundNice = 10;

} // namespace

void lowerCurrentThreadPriority()
{
    thread_local bool lowered = false;
    if (lowered)
        return;
    lowered = true;
#ifdef Q_OS_LINUX
    // On Linux each thread has its own nice value; raising it needs no privilege.
    setpriority(PRIO_PROCESS, id_t(gettid()), backgroundNice);
#endif
}
