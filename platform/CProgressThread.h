#pragma once

#include "platform/CCancelRegistry.h"
#include "platform/ICancelSource.h"
#include "platform/IProgressHost.h"
#include "platform/ProgressState.h"

#include <memory>

// The operation's handle on one progress window. The window lives on the GUI thread and is kept
// alive by the socket wait hook while the operation blocks; the operation only writes the
// position and polls whether the window still stands. While the window may stand, the handle
// is a cancel source of the socket waits, so the user's Avbryt also ends a wait in progress.
class CProgressThread : public ICancelSource {
public:
    CProgressThread() : state_(std::make_shared<ProgressState>()) {}
    // The operation is over, whether it reached its total or ended early (a lost server, a
    // failed send): its window closes with it, at once.
    ~CProgressThread() override {
        if (registered_)
            CCancelRegistry::remove(this);
        if (IsProgressRunning()) {
            state_->position.store(state_->total, std::memory_order_relaxed);
            if (host_)
                host_->closeProgressWindow(*state_);
        }
    }
    CProgressThread(const CProgressThread&) = delete;
    CProgressThread& operator=(const CProgressThread&) = delete;

    void SetTotal(int total) { state_->total = total; }
    // Opens the window at position 0. Without a host there is no window and no cancel.
    void start(IProgressHost* host) {
        state_->position.store(0, std::memory_order_relaxed);
        if (!host)
            return;
        host_ = host;
        host->openProgressWindow(state_);
        if (!registered_)
            CCancelRegistry::add(this);
        registered_ = true;
    }
    // One relaxed store: costs the receive loop nothing.
    void SetProgress(int position) { state_->position.store(position, std::memory_order_relaxed); }
    // True only while the window is open; stays valid after the window object is gone. Once
    // the operation has seen the end, no socket wait is cut for it any more.
    bool IsProgressRunning() const {
        if (!state_->ended.load(std::memory_order_relaxed))
            return true;
        cancelTaken_.store(true, std::memory_order_relaxed);
        return false;
    }
    // True when the user ended the window (Avbryt, Escape, Enter), not when it reached its
    // total or the operation ended it.
    bool IsCancelled() const { return state_->cancelled.load(std::memory_order_relaxed); }

    // The first socket wait that finds the cancel takes it.
    bool takeCancel() override {
        return IsCancelled() && !cancelTaken_.exchange(true, std::memory_order_relaxed);
    }

private:
    std::shared_ptr<ProgressState> state_;
    IProgressHost* host_ = nullptr;
    bool registered_ = false;
    mutable std::atomic<bool> cancelTaken_{false};
};
