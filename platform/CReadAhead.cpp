#include "platform/CReadAhead.h"

#include "platform/CClock.h"
#include "platform/CWaitHook.h"

#include <algorithm>
#include <cstring>
#include <poll.h>

void CReadAhead::gather(int fd, std::size_t want,
                        const std::function<bool(std::string_view)>& holdsEnd, int maxMs,
                        const Pull& pull) {
    const CClock::TimePoint end = CClock::after(maxMs);
    std::size_t judged = 0;
    for (;;) {
        const bool more = pull(*this);
        if (size() >= want || !more)
            return;
        if (size() != judged) {
            judged = size();
            if (holdsEnd(std::string_view(bytes_).substr(start_)))
                return;
        }
        const int left = CClock::remainingMs(end);
        if (left == 0)
            return;
        // Everything that had arrived is taken, so readiness means new bytes.
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, std::min(left, CWaitHook::msUntilDue()));
        CWaitHook::runIfDue();
    }
}

std::size_t CReadAhead::take(char* into, std::size_t max) {
    const std::size_t n = std::min(max, size());
    std::memcpy(into, bytes_.data() + start_, n);
    start_ += n;
    if (start_ == bytes_.size())
        clear();
    return n;
}

void CReadAhead::clear() {
    bytes_.clear();
    start_ = 0;
}
