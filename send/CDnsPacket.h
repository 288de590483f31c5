#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The bytes of the MX query and the walk over its answer, kept apart from the socket so that
// hand-built answers can be checked. Every read is bounded by the bytes actually received; a
// malformed answer yields nothing, never a read past its end.
class CDnsPacket {
public:
    static constexpr std::size_t kHeaderLength = 12;
    static constexpr std::size_t kMaxNameLength = 255;
    static constexpr std::size_t kMaxLabelLength = 63;
    static constexpr unsigned char kTypeMx = 15;
    // Only this exact byte starts a compression pointer; any other value is a label length.
    static constexpr unsigned char kPointer = 192;
    // A 256-byte answer holds at most 128 distinct pointers, so more jumps mean a loop.
    static constexpr int kMaxJumps = 128;

    // Identifier 1, recursion desired, one question of type MX class IN: 17 bytes plus the
    // name's labels. Empty when the domain cannot be written as labels (an empty label, a label
    // over 63 bytes, more than 255 characters).
    static std::string buildQuery(const std::string& domain);

    struct Name {
        std::string text;
        // Where the name ended: its zero byte, or just past its first compression pointer.
        std::size_t offset = 0;
        bool endedInPointer = false;
    };
    // The name at offset, dotted, without the final ".". Nothing when a label or pointer runs
    // past the answer, the pointers loop, or the text exceeds 255 characters.
    static std::optional<Name> readName(std::string_view answer, std::size_t offset);

    // The exchange name of the first answer record when that record is of type MX, else empty.
    static std::string firstExchanger(std::string_view answer);
};
