#pragma once

#include <string>
#include <string_view>

// Encoded words ("=?charset?B?...?=", "=?charset?Q?...?=", in any case) in a header text. The
// decoding is our own: the MIME library's joins the base64 of adjacent words before decoding
// them and loses every word after one that ends in padding, which long subjects of today's mail
// do all the time.
class CEncodedWords {
public:
    // text is UTF-8 with the words in it. Each word is decoded from its charset (any that
    // iconv knows; one nobody knows is read as UTF-8, else Windows-1252); adjacent words are
    // joined without the white space between them, and adjacent words of one charset are
    // converted together, so a character split between them comes out whole. A malformed word
    // (no end, an encoding other than B or Q, base64 that is no base64) stays as it stands.
    static std::string decode(std::string_view text);
};
