#pragma once

// Something the user can stop while the program waits on a socket: a progress window's Avbryt.
// The platform layer knows it only through this, so the socket wait can end early.
class ICancelSource {
public:
    virtual ~ICancelSource() = default;
    // True exactly once after the user asked to stop, to the first one who takes it; false
    // before that, and after the operation itself has seen the stop.
    virtual bool takeCancel() = 0;
};
