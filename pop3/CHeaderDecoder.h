#pragma once

#include <string>
#include <string_view>

// Pure text work on a TOP reply: picking header values out of it and decoding them into the
// program's UTF-8 (encoded words in any charset iconv knows, raw 8-bit text as UTF-8 or
// Windows-1252).
class CHeaderDecoder {
public:
    // Two hexadecimal digits (either case) to one byte; 0 when either is not a digit.
    static unsigned char decodeHexPair(char high, char low);
    // The value of the first "from:", "subject:" or "date:" anywhere in text, keys compared
    // without regard to case: from one character past the colon to the end of the field, its
    // continuation lines joined (a line break before a blank or tab is removed, the blank
    // stays), leading white space removed; the bytes as sent. found is false when the key does
    // not occur.
    static std::string fieldValue(std::string_view text, std::string_view key, bool& found);
    // A header value as text: raw bytes read as UTF-8 when valid, else Windows-1252; every
    // encoded word ("=?charset?B?...?=" or "?Q?", any case) decoded from its charset, adjacent
    // words joined without the white space between them, a malformed word left as it stands;
    // a line break the decoding produced becomes a blank, and zero bytes are dropped.
    static std::string decodeText(std::string_view value);

    // What fetchSummary keeps of a TOP reply: the sender, subject and date values as text (the
    // date only converted, never decoded), and missing for a key that does not occur.
    struct Summary {
        std::string from;
        std::string subject;
        std::string date;
    };
    static Summary summarize(std::string_view text, const std::string& missing);
};
