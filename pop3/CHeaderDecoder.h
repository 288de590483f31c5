#pragma once

#include <string>
#include <string_view>

// Pure text work on a TOP reply: picking header values out of it and undoing the two encodings
// the program understands (ISO-8859-1 Q encoded words in sender and subject, quoted-printable
// codes in a preview).
class CHeaderDecoder {
public:
    // Two hexadecimal digits (either case) to one byte; 0 when either is not a digit, so "=00"
    // is never decoded.
    static unsigned char decodeHexPair(char high, char low);
    // The value of the first "from:", "subject:" or "date:" anywhere in text, keys compared
    // without regard to case: from one character past the colon to the next CR, leading white
    // space removed. found is false when the key does not occur.
    static std::string fieldValue(std::string_view text, std::string_view key, bool& found);
    // Decodes one "=?iso-8859-1?Q?" ... "?=" encoded word in place: the prefix and the first
    // "?=" after it are removed, and every "=XY" code from the prefix on becomes its byte.
    // Underscores stay. Text without the prefix is left as it is.
    static void decodeEncodedWord(std::string& field);
    // Replaces every "=XY" code from index from on with its byte; soft line breaks and "=" before
    // anything else stay.
    static void decodeCodes(std::string& text, std::size_t from);

    // What fetchSummary keeps of a TOP reply: the sender, subject and date values, the first two
    // with their encoded word decoded, and missing for a key that does not occur.
    struct Summary {
        std::string from;
        std::string subject;
        std::string date;
    };
    static Summary summarize(std::string_view text, const std::string& missing);
    // What the content window shows of a TOP reply: codes decoded when the text says
    // "quoted-printable", cut before the terminating CR LF "." CR LF.
    static std::string previewText(std::string text);
};
