#pragma once

#include "platform/CClock.h"
#include "platform/IStream.h"

// Waits until fd is ready for events, in poll() slices that end whenever the wait hook is due
// (so it runs at least every 50 ms), until the deadline. Returns Ok, TimedOut, Failed or
// Cancelled.
//
// The cancel rule: the first wait that finds the user's cancel in CCancelRegistry takes it and
// gives the server a grace of kCancelGraceMs more. Readiness within the grace still ends the
// wait with Ok, so a responsive server's reply completes and the operation stops at its own
// next check; otherwise the wait returns Cancelled. A taken cancel is gone: later waits of the
// same operation (the QUIT after a stopped run) are not cut by it. A stop the user gave from the
// main window (CCancelRegistry::stopWaits) ends every wait at once, also those that follow.
class CPollWait {
public:
    static constexpr int kCancelGraceMs = 50;

    static IoStatus wait(int fd, short events, CClock::TimePoint deadline);
};
