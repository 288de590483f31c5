#pragma once

#include <string>
#include <string_view>

// Header text with 8-bit bytes as "=?charset?Q?...?=" encoded words, so that a header line stays
// 7-bit and a reader shows the text as typed. Typed text is UTF-8; it goes out in ISO-8859-1
// when every character fits, in UTF-8 otherwise (CCharset::forSending).
class CHeaderWordEncoder {
public:
    // The longest encoded word, delimiters included.
    static constexpr std::size_t kWordMax = 75;

    // The whole text, bytes in charset, as encoded words of at most kWordMax characters each,
    // joined by CR LF and a blank (a folded header line; a reader drops that white space between
    // two words). Only letters, digits and ! * + - / stay as they are; every other byte, the blank
    // included, becomes "=XX", which every reader decodes the same way. In UTF-8 a character is
    // never split between two words.
    static std::string encodeWords(std::string_view text, std::string_view charset);

    // A From or To header text: the display name before the "<" as encoded words when it has
    // 8-bit bytes, in double quotes when it has a character a plain name may not hold ("," or
    // ".", say), the white space around it and everything from the "<" on unchanged (an address
    // goes out as typed, as on the envelope). Any other text, a bare address among them, is
    // returned as it is.
    static std::string encodeDisplayName(std::string_view header);

    // Text for the Subject line: encoded words when it has 8-bit bytes, else unchanged.
    static std::string encodeText(std::string_view text);
};
