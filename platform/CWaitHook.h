#pragma once

#include <functional>

// What a blocking socket call runs at least every 50 ms while it waits. The window sets it to
// keep painting; the core never knows what it does.
class CWaitHook {
public:
    static void set(std::function<void()> hook);
    static void run();
};
