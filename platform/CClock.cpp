#include "platform/CClock.h"

#include "platform/CWaitHook.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace {
std::atomic<int> pauseMs{50};
}

int CClock::remainingMs(TimePoint deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

void CClock::pause() {
    pause(pauseMs.load(std::memory_order_relaxed));
}

void CClock::pause(int ms) {
    const TimePoint end = after(ms);
    for (int left = ms; left > 0; left = remainingMs(end)) {
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::min(left, CWaitHook::msUntilDue())));
        CWaitHook::runIfDue();
    }
}

void CClock::setPauseMs(int ms) {
    pauseMs.store(ms, std::memory_order_relaxed);
}
