#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The text work of a reply's body, kept out of the compose window and the reply flow so it can
// be tested and fuzzed without either.
class CQuoting {
public:
    // The text a reply quotes: what a person reads of the retrieved message (every byte of the
    // file after RETR, read up to ReplyLimits::kKeptTextMax bytes past its header block, whose
    // length the TOP reply of headerLength bytes, terminating line included, gives): its plain
    // text part, or its HTML part as text, decoded, without the line end at its end; cut after
    // ReplyLimits::kKeptTextMax bytes.
    static std::string replyBody(std::string_view retrieved, std::size_t headerLength);

    // "> " in front of every line, the first included: after every LF, so a text that ends with
    // a line end gets an empty quoted line after it, as the window shows it.
    static std::string quote(std::string_view text);
};
