#include "pop3/CEncodedWords.h"

#include "pop3/CCharset.h"
#include "pop3/CHeaderDecoder.h"

#include <vector>

namespace {

struct Word {
    std::size_t begin = 0; // of "=?"
    std::size_t end = 0;   // after "?="
    std::string charset;
    std::string bytes; // decoded, still in charset
};

int base64Value(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    return c == '+' ? 62 : c == '/' ? 63 : -1;
}

// Base64 with or without its padding; false for anything else.
bool decodeB(std::string_view payload, std::string& out) {
    while (payload.ends_with('='))
        payload.remove_suffix(1);
    if (payload.size() % 4 == 1)
        return false;
    unsigned bits = 0;
    int count = 0;
    for (char c : payload) {
        const int value = base64Value(c);
        if (value < 0)
            return false;
        bits = (bits << 6) | static_cast<unsigned>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return true;
}

// Q: "_" is a blank, "=XY" a byte, every other character itself.
void decodeQ(std::string_view payload, std::string& out) {
    for (std::size_t i = 0; i < payload.size(); ++i) {
        const char c = payload[i];
        const unsigned char byte =
            c == '=' && i + 2 < payload.size()
                ? CHeaderDecoder::decodeHexPair(payload[i + 1], payload[i + 2])
                : 0;
        if (byte != 0 || (c == '=' && payload.substr(i + 1, 2) == "00")) {
            out += static_cast<char>(byte);
            i += 2;
        } else {
            out += c == '_' ? ' ' : c;
        }
    }
}

// Where the payload that starts at from ends: at the first "?=", unless a "=?" comes before
// it, which starts the next word and so is this word's missing end (npos then, as when there is
// no end at all). No start looks past the next one, so the whole text is read a bounded number
// of times however many starts it holds.
std::size_t payloadEnd(std::string_view text, std::size_t from) {
    for (std::size_t i = from; i + 1 < text.size(); ++i) {
        if (text[i] == '?' && text[i + 1] == '=')
            return i;
        // "=?=" is a "=" in the payload before the end.
        if (text[i] == '=' && text[i + 1] == '?' && (i + 2 >= text.size() || text[i + 2] != '='))
            return std::string_view::npos;
    }
    return std::string_view::npos;
}

// The encoded word that starts at "=?" at begin, if it is one. Its charset ends at the next
// "?", which is at the latest that of the next start.
bool wordAt(std::string_view text, std::size_t begin, Word& word) {
    const std::size_t charsetEnd = text.find('?', begin + 2);
    if (charsetEnd == std::string_view::npos || charsetEnd == begin + 2 ||
        charsetEnd + 2 >= text.size() || text[charsetEnd + 2] != '?')
        return false;
    const std::string_view charset = text.substr(begin + 2, charsetEnd - begin - 2);
    if (charset.find_first_of(" \t=") != std::string_view::npos)
        return false;
    const char encoding = text[charsetEnd + 1];
    const std::size_t payloadBegin = charsetEnd + 3;
    const std::size_t close = payloadEnd(text, payloadBegin);
    if (close == std::string_view::npos)
        return false;
    const std::string_view payload = text.substr(payloadBegin, close - payloadBegin);
    word.bytes.clear();
    if (encoding == 'B' || encoding == 'b') {
        if (!decodeB(payload, word.bytes))
            return false;
    } else if (encoding == 'Q' || encoding == 'q') {
        decodeQ(payload, word.bytes);
    } else {
        return false;
    }
    word.begin = begin;
    word.end = close + 2;
    // RFC 2231 lets a language follow the charset: "utf-8*sv".
    word.charset = std::string(charset.substr(0, charset.find('*')));
    return true;
}

} // namespace

std::string CEncodedWords::decode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t done = 0;   // the text before this is in out
    bool afterWord = false; // what stands at done follows a word
    Word word;
    std::string runCharset, runBytes; // adjacent words of one charset, not yet converted
    auto flush = [&] {
        if (!runBytes.empty())
            out += CCharset::toUtf8(runBytes, runCharset);
        runBytes.clear();
    };
    for (std::size_t at = text.find("=?"); at != std::string_view::npos; at = text.find("=?", at)) {
        if (!wordAt(text, at, word)) {
            ++at;
            continue;
        }
        const std::string_view between = text.substr(done, at - done);
        const bool adjacent =
            afterWord && between.find_first_not_of(" \t") == std::string_view::npos;
        if (!adjacent || !CCharset::equalsIgnoringCase(word.charset, runCharset))
            flush();
        if (!adjacent)
            out.append(between);
        runCharset = word.charset;
        runBytes += word.bytes;
        done = at = word.end;
        afterWord = true;
    }
    flush();
    out.append(text.substr(done));
    return out;
}
