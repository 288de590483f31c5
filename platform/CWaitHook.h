#pragma once

#include <functional>

// What a blocking socket call runs while it waits: at least every 50 ms of wall time, whether
// poll() has to wait or the bytes stream in without it. The window sets it to keep painting and
// to take its Avbryt; the core never knows what it does.
class CWaitHook {
public:
    // Period of the hook; a little below 50 ms, so that the time a wait spends between its
    // checks cannot push a gap past 50 ms.
    static constexpr int kPeriodMs = 40;

    static void set(std::function<void()> hook);
    // Runs the hook now.
    static void run();
    // Runs the hook when a period has passed since it last ran, in whatever wait.
    static void runIfDue();
    // Milliseconds until the hook is due again, never below 0.
    static int msUntilDue();
};
