#include "platform/CClock.h"

#include <thread>

int CClock::remainingMs(TimePoint deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

void CClock::pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
