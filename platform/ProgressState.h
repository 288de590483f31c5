#pragma once

#include <atomic>

// What one progress window and the operation behind it share. Each window has its own, so a
// window started right after another cannot swallow the earlier one's final report, and the
// operation's handle keeps it alive after the window is gone.
struct ProgressState {
    int total = 0;                      // set before the window opens
    std::atomic<int> position{0};       // written by the operation, read by the window's tick
    std::atomic<bool> ended{false};     // set by the window when it closes, for whatever reason
    std::atomic<bool> cancelled{false}; // set before ended when the user ended the window
};
