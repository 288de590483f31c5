#include "send/CHeaderWordEncoder.h"

#include "pop3/CCharset.h"

namespace {

constexpr char kHex[] = "0123456789ABCDEF";
constexpr std::string_view kClose = "?=";

unsigned char byteAt(std::string_view text, std::size_t i) {
    return static_cast<unsigned char>(text[i]);
}

// What may stand for itself in an encoded word anywhere in a header, a display name included.
bool isLiteral(unsigned char b) {
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '!' ||
           b == '*' || b == '+' || b == '-' || b == '/';
}

// The bytes of the character that starts at i: one, or in UTF-8 a lead byte with the
// continuation bytes after it, which a word must not be split between.
std::size_t characterLength(std::string_view text, std::size_t i, bool utf8) {
    std::size_t n = 1;
    if (utf8 && (byteAt(text, i) & 0xC0) == 0xC0)
        while (i + n < text.size() && (byteAt(text, i + n) & 0xC0) == 0x80)
            ++n;
    return n;
}

void appendEncoded(std::string& out, std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = byteAt(bytes, i);
        if (isLiteral(b)) {
            out += static_cast<char>(b);
            continue;
        }
        out += '=';
        out += kHex[b >> 4];
        out += kHex[b & 0x0F];
    }
}

// A name with one of these characters is not a plain phrase: a "," would even split the
// sender into two addresses. A name already in quotes stays as typed.
bool needsQuotes(std::string_view name) {
    const bool quotedAlready = name.size() >= 2 && name.front() == '"' && name.back() == '"';
    return !quotedAlready && name.find_first_of("()<>[]:;@\\,.\"") != std::string_view::npos;
}

std::string quoted(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

} // namespace

std::string CHeaderWordEncoder::encodeWords(std::string_view text, std::string_view charset) {
    const std::string open = "=?" + std::string(charset) + "?Q?";
    const std::size_t used = open.size() + kClose.size();
    const std::size_t room = kWordMax > used ? kWordMax - used : 0;
    const bool utf8 = CCharset::isUtf8Name(charset);
    std::string out, word, piece;
    auto finishWord = [&] {
        if (!out.empty())
            out += "\r\n ";
        out.append(open).append(word).append(kClose);
        word.clear();
    };
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = characterLength(text, i, utf8);
        piece.clear();
        appendEncoded(piece, text.substr(i, n));
        if (!word.empty() && word.size() + piece.size() > room)
            finishWord();
        word += piece;
        i += n;
    }
    if (!word.empty() || out.empty())
        finishWord();
    return out;
}

std::string CHeaderWordEncoder::encodeDisplayName(std::string_view header) {
    const std::size_t open = header.find('<');
    // A bare address is an address, never a name.
    if (open == std::string_view::npos)
        return std::string(header);
    const std::string_view typed = header.substr(0, open);
    const std::size_t first = typed.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return std::string(header);
    // White space around the name stays where it was typed; only the name itself changes.
    const std::size_t end = typed.find_last_not_of(" \t") + 1;
    const std::string_view name = typed.substr(first, end - first);
    std::string shown;
    if (CCharset::hasHighBytes(name))
        shown = encodeText(name);
    else if (needsQuotes(name))
        shown = quoted(name);
    else
        return std::string(header);
    return std::string(header.substr(0, first)) + shown + std::string(header.substr(end));
}

std::string CHeaderWordEncoder::encodeText(std::string_view text) {
    if (!CCharset::hasHighBytes(text))
        return std::string(text);
    std::string bytes;
    const std::string_view charset = CCharset::forSending(text, bytes);
    return encodeWords(bytes, charset);
}
