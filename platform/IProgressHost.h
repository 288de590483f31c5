#pragma once

#include "platform/ProgressState.h"

#include <memory>

// The window layer opens progress windows for the core. The window reads state->position on
// its tick, closes itself once the position reaches state->total, and sets state->ended when it
// closes (state->cancelled before it, when the user closed it). It must not block: the operation
// goes on at once.
class IProgressHost {
public:
    virtual ~IProgressHost() = default;
    virtual void openProgressWindow(std::shared_ptr<ProgressState> state) = 0;
    // The operation behind state is over: its window, if still open, closes now instead of at
    // its next tick, and that is not a cancel.
    virtual void closeProgressWindow(const ProgressState& state) { (void)state; }
    // The user stopped the operation from elsewhere (the main window's Escape): every open
    // window ends as at its Avbryt.
    virtual void cancelProgressWindows() {}
};
