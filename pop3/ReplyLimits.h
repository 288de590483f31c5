#pragma once

#include <cstddef>

// How much of a server's reply the program keeps, whatever the server sends: the rest is read
// and thrown away up to the end of the line or the data, so the connection stays in step.
struct ReplyLimits {
    static constexpr std::size_t kStatusLineMax = 64 * 1024;
    // Of a text kept for display: a preview, a header block, the quoted part of a reply.
    static constexpr std::size_t kKeptTextMax = 4 * 1024 * 1024;
};
