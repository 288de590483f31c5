#include "pop3/CEndOfData.h"

namespace {
constexpr std::string_view kTerminator = "\r\n.\r\n";
}

std::size_t CEndOfData::feed(std::string_view chunk) {
    if (complete_)
        return 0;
    // A terminator that straddles the previous chunk ends within the first four bytes of this
    // one; search that seam on its own so the chunk itself is never copied.
    std::string seam = tail_;
    seam.append(chunk.substr(0, kTerminator.size() - 1));
    std::size_t at = seam.find(kTerminator);
    if (at != std::string::npos) {
        complete_ = true;
        return at + kTerminator.size() - tail_.size();
    }
    at = chunk.find(kTerminator);
    if (at != std::string_view::npos) {
        complete_ = true;
        return at + kTerminator.size();
    }
    constexpr std::size_t keep = kTerminator.size() - 1;
    if (chunk.size() >= keep)
        tail_.assign(chunk.substr(chunk.size() - keep));
    else
        tail_ = seam.substr(seam.size() - std::min(seam.size(), keep));
    return chunk.size();
}
