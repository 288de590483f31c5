#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The text work of a reply's body, kept out of the compose window and the reply flow so it can
// be tested and fuzzed without either.
class CQuoting {
public:
    // The text a reply quotes: the retrieved message (every byte of the file after RETR) below
    // its header block, whose length the TOP reply of headerLength bytes (terminating line
    // included) gives; cut before the terminating line (and after ReplyLimits::kKeptTextMax
    // bytes), the server's dot-stuffing undone, and quoted-printable codes decoded when the
    // message says "quoted-printable".
    static std::string replyBody(std::string_view retrieved, std::size_t headerLength);

    // "> " in front of every line, the first included: after every LF, so a text that ends with
    // a line end gets an empty quoted line after it, as the window shows it.
    static std::string quote(std::string_view text);
};
