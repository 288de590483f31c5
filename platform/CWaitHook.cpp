#include "platform/CWaitHook.h"

#include "platform/CClock.h"

#include <atomic>
#include <utility>

namespace {

std::function<void()>& hookSlot() {
    static std::function<void()> hook;
    return hook;
}

// When the hook last ran, in steady-clock ticks; shared by every wait.
std::atomic<CClock::TimePoint::rep> lastRun{0};

CClock::TimePoint lastRunTime() {
    return CClock::TimePoint(CClock::TimePoint::duration(lastRun.load(std::memory_order_relaxed)));
}

} // namespace

void CWaitHook::set(std::function<void()> hook) {
    hookSlot() = std::move(hook);
}

void CWaitHook::run() {
    // Stamped first: a socket call made from inside the hook finds it not due.
    lastRun.store(CClock::now().time_since_epoch().count(), std::memory_order_relaxed);
    if (auto& hook = hookSlot())
        hook();
}

void CWaitHook::runIfDue() {
    if (msUntilDue() == 0)
        run();
}

int CWaitHook::msUntilDue() {
    return CClock::remainingMs(lastRunTime() + std::chrono::milliseconds(kPeriodMs));
}
