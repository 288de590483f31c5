#include "pop3/CCharset.h"

#include "pop3/CMimeLibrary.h"

#include <gmime/gmime.h>

#include <cerrno>
#include <iconv.h>

namespace {

// Windows-1252 from 0x80 to 0x9F; the rest of its upper half is ISO-8859-1.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The length of the valid UTF-8 sequence at p, 0 when there is none; incomplete is set when the
// bytes up to end are the beginning of a valid sequence that end cuts off.
std::size_t sequenceAt(const unsigned char* p, const unsigned char* end, bool& incomplete) {
    incomplete = false;
    const unsigned char lead = *p;
    if (lead < 0x80)
        return 1;
    std::size_t length;
    char32_t cp, min;
    if ((lead & 0xE0) == 0xC0)
        length = 2, cp = lead & 0x1F, min = 0x80;
    else if ((lead & 0xF0) == 0xE0)
        length = 3, cp = lead & 0x0F, min = 0x800;
    else if ((lead & 0xF8) == 0xF0)
        length = 4, cp = lead & 0x07, min = 0x10000;
    else
        return 0;
    const auto available = static_cast<std::size_t>(end - p);
    for (std::size_t i = 1; i < length; ++i) {
        if (i == available) {
            incomplete = true;
            return 0;
        }
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

// How many leading bytes are valid UTF-8; cutShort when the rest is one character cut off.
std::size_t validPrefix(std::string_view bytes, bool& cutShort) {
    const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = begin + bytes.size();
    const auto* p = begin;
    cutShort = false;
    while (p < end) {
        const std::size_t n = sequenceAt(p, end, cutShort);
        if (n == 0)
            break;
        p += n;
    }
    return static_cast<std::size_t>(p - begin);
}

// Converts through iconv; false when the charset is unknown or the bytes are not valid in it
// (a character cut off at the end is dropped where the text mayBeCut, else it is not valid).
bool convert(std::string_view bytes, const std::string& charset, bool mayBeCut, std::string& out) {
    CMimeLibrary::ready();
    iconv_t cd = g_mime_iconv_open("UTF-8", charset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    out.clear();
    out.reserve(bytes.size() + bytes.size() / 2);
    char buffer[4096];
    char* in = const_cast<char*>(bytes.data()); // iconv reads through a non-const pointer
    std::size_t inLeft = bytes.size();
    bool ok = true;
    for (;;) {
        char* to = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t r = iconv(cd, &in, &inLeft, &to, &outLeft);
        const int error = errno;
        out.append(buffer, static_cast<std::size_t>(to - buffer));
        if (r != static_cast<std::size_t>(-1) || (error == EINVAL && mayBeCut))
            break;
        if (error != E2BIG) {
            ok = false;
            break;
        }
    }
    if (ok) {
        // Back to the initial state, which a charset that switches states (ISO-2022-JP) writes.
        char* to = buffer;
        std::size_t outLeft = sizeof buffer;
        iconv(cd, nullptr, nullptr, &to, &outLeft);
        out.append(buffer, static_cast<std::size_t>(to - buffer));
    }
    g_mime_iconv_close(cd);
    return ok;
}

} // namespace

bool CCharset::isUtf8(std::string_view bytes) {
    bool cutShort = false;
    return validPrefix(bytes, cutShort) == bytes.size();
}

std::string CCharset::fromWindows1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        appendUtf8(out, b >= 0x80 && b < 0xA0 ? kWindows1252High[b - 0x80] : char32_t{b});
    }
    return out;
}

std::string CCharset::fromUnknown(std::string_view bytes) {
    return isUtf8(bytes) ? std::string(bytes) : fromWindows1252(bytes);
}

std::string CCharset::toUtf8(std::string_view bytes, std::string_view charset, bool mayBeCut) {
    if (isUtf8Name(charset)) {
        bool cutShort = false;
        const std::size_t valid = validPrefix(bytes, cutShort);
        if (valid == bytes.size() || (cutShort && mayBeCut))
            return std::string(bytes.substr(0, valid));
        return fromWindows1252(bytes);
    }
    std::string out;
    if (!convert(bytes, std::string(charset), mayBeCut, out) || !isUtf8(out))
        return fromUnknown(bytes);
    return out;
}

std::string_view CCharset::forSending(std::string_view text, std::string& bytes) {
    const std::string utf8 = fromUnknown(text);
    std::string latin1;
    latin1.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            latin1 += static_cast<char>(b);
        } else if ((b == 0xC2 || b == 0xC3) && i + 1 < utf8.size()) {
            // U+0080 to U+00FF: two bytes, whose code is the ISO-8859-1 byte.
            const auto next = static_cast<unsigned char>(utf8[++i]);
            latin1 += static_cast<char>(((b & 0x1F) << 6) | (next & 0x3F));
        } else {
            bytes = utf8;
            return kUtf8;
        }
    }
    bytes = std::move(latin1);
    return kLatin1;
}

std::size_t CCharset::cutPoint(std::string_view text, std::size_t max) {
    if (text.size() <= max)
        return text.size();
    std::size_t at = max;
    // Back over continuation bytes to the start of the character that the cut would split.
    while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
        --at;
    return at;
}

void CCharset::appendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool CCharset::hasHighBytes(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

bool CCharset::equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

bool CCharset::isUtf8Name(std::string_view charset) {
    return equalsIgnoringCase(charset, "utf-8") || equalsIgnoringCase(charset, "utf8");
}
