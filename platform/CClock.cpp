#include "platform/CClock.h"

int CClock::remainingMs(TimePoint deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}
