#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Bytes a stream has taken from the connection ahead of the receive that will hand them out.
// Between the receives of a long reply the stream gathers what has arrived, so that the next
// receive is a large one, but never waits longer than the data needs: it stops as soon as a
// full receive's worth is there or the reply's end has arrived.
class CReadAhead {
public:
    // Takes new bytes from the connection without waiting: false once nothing more will come
    // (end of stream or a failure, which the next receive then reports).
    using Pull = std::function<bool(CReadAhead&)>;

    // Gathers until want bytes are here, holdsEnd says they complete the reply, pull says the
    // connection has nothing more, or maxMs have passed. Waits on fd between pulls, running the
    // wait hook when due; never spins.
    void gather(int fd, std::size_t want, const std::function<bool(std::string_view)>& holdsEnd,
                int maxMs, const Pull& pull);

    // Moves up to max gathered bytes into the caller's buffer; the count.
    std::size_t take(char* into, std::size_t max);
    void append(std::string_view bytes) { bytes_.append(bytes); }
    std::size_t size() const { return bytes_.size() - start_; }
    bool empty() const { return size() == 0; }
    void clear();

private:
    std::string bytes_;
    std::size_t start_ = 0; // bytes before it are handed out already
};
