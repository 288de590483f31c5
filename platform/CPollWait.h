#pragma once

#include "platform/CClock.h"
#include "platform/IStream.h"

// Waits until fd is ready for events, in poll() slices of at most 50 ms with the wait hook run
// between them. Returns Ok, TimedOut or Failed.
class CPollWait {
public:
    static IoStatus wait(int fd, short events, CClock::TimePoint deadline);
};
