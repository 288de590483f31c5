#include "platform/CPollWait.h"

#include "platform/CWaitHook.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>

IoStatus CPollWait::wait(int fd, short events, CClock::TimePoint deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        int slice = std::min(50, CClock::remainingMs(deadline));
        int n = ::poll(&p, 1, slice);
        if (n > 0)
            return IoStatus::Ok; // readiness or an error condition: the next call tells which
        if (n < 0 && errno != EINTR)
            return IoStatus::Failed;
        if (CClock::remainingMs(deadline) == 0)
            return IoStatus::TimedOut;
        CWaitHook::run();
    }
}
