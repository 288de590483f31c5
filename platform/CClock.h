#pragma once

#include <chrono>

// The millisecond clock and the pause between the receives of a multi-line reply.
class CClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    static TimePoint now() { return std::chrono::steady_clock::now(); }
    static TimePoint after(int ms) { return now() + std::chrono::milliseconds(ms); }
    // Milliseconds left until the deadline, never below 0.
    static int remainingMs(TimePoint deadline);
    // The pause between two receives (50 ms). It sleeps and spins no core, but the wait hook
    // still runs when due, so the window keeps painting through a fast download.
    static void pause();
    static void pause(int ms);
    // Tests shorten the pause, as they shorten the window's timer periods.
    static void setPauseMs(int ms);
};
