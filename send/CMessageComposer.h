#pragma once

#include "pop3/CCharset.h"

#include <string>
#include <string_view>

// The text work of an outgoing message: typed UTF-8 text becomes the bytes of the header block,
// the 8-bit encodings and the shape of the data on the wire. Nothing here touches a socket.
class CMessageComposer {
public:
    // The longest line of quoted-printable text, the "=" of a soft line break included.
    static constexpr std::size_t kQuotedLineMax = 76;

    // The header lines of a composed message, as typed (UTF-8). From and To hold an address as
    // typed: a display name with the address in angle brackets, or the bare address.
    struct HeaderFields {
        std::string_view date = {};
        std::string_view from = {};
        std::string_view to = {};
        std::string_view subject = {};
        std::string_view messageId = {};
    };

    // The whole message as it goes on the wire after DATA, before its terminating line: the
    // header block, the empty line and the body. Each text goes out in ISO-8859-1 when every
    // character fits and in UTF-8 otherwise (CCharset::forSending), declared either way.
    static std::string composeMessage(const HeaderFields& fields, std::string_view body,
                                      int quotedPrintable);

    // Whether a composed body goes out quoted-printable: when it has a byte from 0x80 up, or
    // when the owner forces it with quotedPrintable 1. Any other body goes out as typed.
    static bool choosesQuotedPrintable(std::string_view body, int quotedPrintable);

    // The header block in its fixed order: X-Mailer, Date, From, To, Subject, Message-ID, each
    // only when given, then the three MIME lines (with the body's charset) only for a
    // quoted-printable body. A display name or subject with 8-bit bytes goes out as encoded
    // words; 7-bit text stays exactly as given. Every line ends in CR LF; the empty line that
    // ends the block is not part of it.
    static std::string composeHeader(const HeaderFields& fields, bool quotedPrintableBody,
                                     std::string_view bodyCharset = CCharset::kLatin1);

    // The body as quoted-printable text: bytes from 0x80 up, "=", control bytes other than TAB,
    // a blank or TAB that ends a line and a "." that starts one become "=XX" (upper-case hex);
    // each line break of the text (CR LF, a lone CR or a lone LF) becomes CR LF; a line longer
    // than kQuotedLineMax is cut by soft line breaks ("=" CR LF), never inside a code.
    static std::string encodeQuotedPrintable(std::string_view text);

    // The body, bytes in its charset, as it goes on the wire after the header block: encoded
    // when asked, then made transparent.
    static std::string composeText(std::string_view body, bool quotedPrintable);

    // Composed text as SMTP data: a lone CR or LF becomes CR LF (the wire knows no other line
    // end, and a server that takes a bare LF as one could otherwise find a terminator inside
    // the text), and a "." that starts a line is doubled, so no line of the text can end the
    // data early.
    static std::string makeTransparent(std::string_view text);
};
