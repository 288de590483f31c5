#pragma once

#include <chrono>

// The millisecond clock of every wait and deadline.
class CClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    static TimePoint now() { return std::chrono::steady_clock::now(); }
    static TimePoint after(int ms) { return now() + std::chrono::milliseconds(ms); }
    // Milliseconds left until the deadline, never below 0.
    static int remainingMs(TimePoint deadline);
};
