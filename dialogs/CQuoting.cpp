#include "dialogs/CQuoting.h"

#include "pop3/CCharset.h"
#include "pop3/CMessageText.h"
#include "pop3/ReplyLimits.h"

#include <algorithm>

std::string CQuoting::replyBody(std::string_view retrieved, std::size_t headerLength) {
    // The header text ends with the 3-byte terminating line; of the body after the header block
    // at most so much is read.
    const std::size_t headerBlock =
        std::min(headerLength >= 3 ? headerLength - 3 : 0, retrieved.size());
    const std::string_view taken = retrieved.substr(0, headerBlock + ReplyLimits::kKeptTextMax);
    // Cut before decoding: a decoded "=2E" line must not pass for the end of the message.
    std::string text = CMessageText::readableText(CMessageText::unstuffed(taken));
    text.resize(CCharset::cutPoint(text, ReplyLimits::kKeptTextMax));
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
