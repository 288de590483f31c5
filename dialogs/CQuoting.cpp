#include "dialogs/CQuoting.h"

#include "pop3/CHeaderDecoder.h"
#include "pop3/ReplyLimits.h"

#include <algorithm>

namespace {

// A POP3 server doubles the leading dot of a line; the quoted text shows the message's own line.
std::string undoDotStuffing(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool lineStart = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (lineStart && text[i] == '.' && i + 1 < text.size() && text[i + 1] == '.')
            ++i;
        out += text[i];
        lineStart = text[i] == '\n';
    }
    return out;
}

} // namespace

std::string CQuoting::replyBody(std::string_view retrieved, std::size_t headerLength) {
    const bool quotedPrintable = retrieved.find("quoted-printable") != std::string_view::npos;
    // The header text ends with the 3-byte terminating line; what stays is the header block
    // with its empty line, exactly the message's own.
    const std::size_t headerBlock = headerLength >= 3 ? headerLength - 3 : 0;
    std::string_view body = headerBlock < retrieved.size()
                                ? retrieved.substr(headerBlock, ReplyLimits::kKeptTextMax)
                                : std::string_view{};
    // Cut before decoding: a decoded "=2E" line must not pass for the end of the message. The
    // body starts on a line of its own, so a terminating line right at its start (a message
    // without body) ends it too.
    const std::size_t end = body.starts_with(".\r\n") ? 0 : body.find("\r\n.\r\n");
    std::string text = undoDotStuffing(body.substr(0, end));
    if (quotedPrintable)
        CHeaderDecoder::decodeCodes(text, 0);
    return text;
}

std::string CQuoting::quote(std::string_view text) {
    constexpr std::string_view kMark = "> ";
    // Built in one pass: inserting the mark in place would move the rest of a long message once
    // per line.
    std::string out;
    out.reserve(text.size() + kMark.size() * (1 + std::count(text.begin(), text.end(), '\n')));
    out += kMark;
    for (char c : text) {
        out += c;
        if (c == '\n')
            out += kMark;
    }
    return out;
}
