#include "platform/CPollWait.h"

#include "platform/CCancelRegistry.h"
#include "platform/CWaitHook.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <poll.h>

IoStatus CPollWait::wait(int fd, short events, CClock::TimePoint deadline) {
    std::optional<CClock::TimePoint> graceEnd;
    for (;;) {
        if (CCancelRegistry::waitsStopped())
            return IoStatus::Cancelled;
        // The user's click reaches us through the hook, so it is looked for right after it.
        if (!graceEnd && CCancelRegistry::take())
            graceEnd = CClock::after(kCancelGraceMs);
        int slice = std::min(CWaitHook::msUntilDue(), CClock::remainingMs(deadline));
        if (graceEnd)
            slice = std::min(slice, CClock::remainingMs(*graceEnd));
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, slice);
        if (n > 0)
            return IoStatus::Ok; // readiness or an error condition: the next call tells which
        if (n < 0 && errno != EINTR)
            return IoStatus::Failed;
        if (graceEnd && CClock::remainingMs(*graceEnd) == 0)
            return IoStatus::Cancelled;
        if (CClock::remainingMs(deadline) == 0)
            return IoStatus::TimedOut;
        CWaitHook::runIfDue();
    }
}
