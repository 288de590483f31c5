#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

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
    // connection has nothing more, or maxMs have passed. holdsEnd is shown each newly arrived
    // piece once, in order, so that it can judge as it goes instead of reading everything again.
    // Waits on fd between pulls, running the wait hook when due; never spins.
    void gather(int fd, std::size_t want, const std::function<bool(std::string_view)>& holdsEnd,
                int maxMs, const Pull& pull);

    // Moves up to max gathered bytes into the caller's buffer; the count.
    std::size_t take(char* into, std::size_t max);
    // Room for n more bytes at the end, to be received into directly; commit keeps what was.
    char* room(std::size_t n);
    void commit(std::size_t written) { end_ += written; }
    std::size_t size() const { return end_ - start_; }
    bool empty() const { return size() == 0; }
    void clear() { start_ = end_ = 0; }

private:
    std::vector<char> bytes_; // kept at its largest size, so that no receive waits on memory
    std::size_t start_ = 0;   // bytes before it are handed out already
    std::size_t end_ = 0;     // bytes from it on are room
};
