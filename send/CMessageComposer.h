#pragma once

#include <string>
#include <string_view>

// The text work of an outgoing message, on bytes: the header block, the 8-bit encoding and the
// shape of the data on the wire. Nothing here touches a socket.
class CMessageComposer {
public:
    // A body of exactly this text means: send the retrieved message instead of a composed one.
    static constexpr std::string_view kForwardMarker = "filfil";

    // The header block in its fixed order; From, To and Subject only when given, the three MIME
    // lines only when quotedPrintable is 1. Every line ends in CR LF; the empty line that ends
    // the block is not part of it.
    static std::string composeHeader(std::string_view fromHeader, std::string_view toHeader,
                                     std::string_view subject, int quotedPrintable);

    // Every byte 0x80..0xFF becomes "=XX" (upper-case hex); everything else, "=" included, stays.
    static std::string encodeHighBytes(std::string_view text);

    // Composed text as SMTP data: a lone CR or LF becomes CR LF (the wire knows no other line
    // end, and a server that takes a bare LF as one could otherwise find a terminator inside
    // the text), and a "." that starts a line is doubled, so no line of the text can end the
    // data early.
    static std::string makeTransparent(std::string_view text);
};

// Follows the data sent after DATA to tell what still has to be sent to end it. The data starts
// on a fresh line.
class CDataEnding {
public:
    void feed(std::string_view bytes);
    // Nothing when the data already ends with its own terminating line (a forwarded message
    // does); "." CR LF when it ends with a complete line; CR LF "." CR LF otherwise, so the
    // terminator always stands on a line of its own and adds nothing to the message.
    std::string_view terminator() const;

private:
    std::string tail_ = "\r\n"; // the last five bytes at most
};
