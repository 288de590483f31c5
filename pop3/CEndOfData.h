#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Watches the data block of a multi-line reply, chunk by chunk, for the terminating line
// CR LF "." CR LF. The data follows a status line that ended in CR LF, so a block that starts
// with "." CR LF is empty. The last bytes of each chunk are kept, so a terminator split across
// receives in any way is found.
class CEndOfData {
public:
    // Takes the next chunk and returns how many of its bytes belong to the reply: all of them
    // until the terminator arrives, then up to and including it.
    std::size_t feed(std::string_view chunk);
    bool complete() const { return complete_; }

private:
    std::string tail_ = "\r\n"; // at most the last four bytes seen
    bool complete_ = false;
};
