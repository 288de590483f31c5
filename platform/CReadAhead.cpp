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
    std::size_t shown = 0; // of the gathered bytes, counted from the first not handed out
    for (;;) {
        const bool more = pull(*this);
        if (size() >= want || !more)
            return;
        if (size() != shown) {
            const std::string_view arrived(bytes_.data() + start_ + shown, size() - shown);
            shown = size();
            if (holdsEnd(arrived))
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
    if (start_ == end_)
        clear();
    return n;
}

char* CReadAhead::room(std::size_t n) {
    if (bytes_.size() - end_ < n) {
        if (start_ > 0) {
            std::memmove(bytes_.data(), bytes_.data() + start_, size());
            end_ -= start_;
            start_ = 0;
        }
        if (bytes_.size() - end_ < n)
            bytes_.resize(end_ + n);
    }
    return bytes_.data() + end_;
}
