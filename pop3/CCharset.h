#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text inside the program is UTF-8. These are the conversions where bytes from outside become
// text and where text leaves for the wire.
class CCharset {
public:
    static constexpr std::string_view kLatin1 = "iso-8859-1";
    static constexpr std::string_view kUtf8 = "utf-8";

    // Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
    static bool isUtf8(std::string_view bytes);
    // Every byte as its Windows-1252 character (the five it leaves undefined as the control
    // characters of the same number), so that no byte is lost.
    static std::string fromWindows1252(std::string_view bytes);
    // Bytes whose charset nobody declared (a server's status line, raw 8-bit header text, a
    // body without a charset): as they are when valid UTF-8, else Windows-1252, which is a
    // superset of ISO-8859-1 for every printable character.
    static std::string fromUnknown(std::string_view bytes);
    // Bytes in the declared charset (any name iconv knows, in any case) as UTF-8. A charset
    // nobody knows, or bytes that are not valid in the declared one (mail often says UTF-8 and
    // sends ISO-8859-1), are read as fromUnknown reads them. In a text that mayBeCut (the lines
    // a preview asks for can end inside a character of base64 text) a character cut off at the
    // very end is dropped instead.
    static std::string toUtf8(std::string_view bytes, std::string_view charset,
                              bool mayBeCut = false);

    // The charset a text goes out in and its bytes in it: ISO-8859-1 when every character fits,
    // so that such mail looks exactly as it always has; UTF-8 otherwise, so that nothing typed is
    // ever replaced. Text that is not valid UTF-8 is first read as fromUnknown reads it.
    static std::string_view forSending(std::string_view text, std::string& bytes);

    // The longest length of at most max bytes that does not cut a UTF-8 character in two.
    static std::size_t cutPoint(std::string_view text, std::size_t max);

    // The code point as UTF-8; one that is no character (a surrogate, above U+10FFFF) as U+FFFD.
    static void appendUtf8(std::string& out, char32_t cp);
    // Any byte above 7 bits.
    static bool hasHighBytes(std::string_view text);
    // Names in protocols and MIME fields compare without regard to the case of their ASCII
    // letters, whatever the locale.
    static char lowerAscii(char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    static bool equalsIgnoringCase(std::string_view a, std::string_view b);
    static bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
        return text.size() >= prefix.size() &&
               equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
    }
    // A blank between words on one line: a space or a tab.
    static bool isBlank(char c) { return c == ' ' || c == '\t'; }
    // White space as the C library's isspace has it in the "C" locale: a blank, CR, LF, VT, FF.
    static bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    static bool isUtf8Name(std::string_view charset);
};
