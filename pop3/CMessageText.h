#pragma once

#include <string>
#include <string_view>

// What a person reads of a message as the server sends it: the header block with its texts
// decoded and the text of the body, whatever MIME structure carries it.
class CMessageText {
public:
    // The data of a TOP or RETR reply as the message itself: cut before the terminating line
    // (all of it when there is none, as a reply cut short leaves it), with the leading dot that
    // the server doubled on a line taken away again.
    static std::string unstuffed(std::string_view data);

    // A header block for display: a field with an encoded word or 8-bit bytes in it unfolded
    // and decoded as CHeaderDecoder::decodeText decodes a value, its name and colon kept as
    // sent; every other field exactly as sent, folds included.
    static std::string decodedHeader(std::string_view header);

    // The text of a message (header block, empty line, body): the first text/plain part that is
    // not an attachment, or when there is none the first such text/html part as plain text;
    // its transfer encoding (quoted-printable, base64) and charset decoded, a part cut short
    // decoded as far as it goes. CR LF line ends, no line end at the end, no zero bytes. Empty
    // when the message has no text part.
    static std::string readableText(std::string_view message);

    // What the content window shows of a TOP reply: the decoded header block, the empty line,
    // and the readable text of the lines that came with it.
    static std::string preview(std::string_view reply);
};
