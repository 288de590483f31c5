#pragma once

#include "dialogs/IProgressHost.h"
#include "dialogs/ProgressState.h"

#include <memory>

// The operation's handle on one progress window. The window lives on the GUI thread and is kept
// alive by the socket wait hook while the operation blocks; the operation only writes the
// position and polls whether the window still stands.
class CProgressThread {
public:
    CProgressThread() : state_(std::make_shared<ProgressState>()) {}
    // An operation that ends early (a lost server, a failed send) takes its window with it:
    // the window sees its end reached and closes itself.
    ~CProgressThread() {
        if (IsProgressRunning())
            state_->position.store(state_->total, std::memory_order_relaxed);
    }
    CProgressThread(const CProgressThread&) = delete;
    CProgressThread& operator=(const CProgressThread&) = delete;

    void SetTotal(int total) { state_->total = total; }
    // Opens the window at position 0. Without a host there is no window and no cancel.
    void start(IProgressHost* host) {
        state_->position.store(0, std::memory_order_relaxed);
        if (host)
            host->openProgressWindow(state_);
    }
    // One relaxed store: costs the receive loop nothing.
    void SetProgress(int position) { state_->position.store(position, std::memory_order_relaxed); }
    // True only while the window is open; stays valid after the window object is gone.
    bool IsProgressRunning() const { return !state_->ended.load(std::memory_order_relaxed); }

private:
    std::shared_ptr<ProgressState> state_;
};
