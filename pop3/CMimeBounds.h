#pragma once

#include <cstddef>
#include <string_view>

// How much of a message the MIME parser reads. The parser makes an object of a few hundred bytes
// for every header field, parameter, address and part it meets, and descends into every
// multipart and attached message: a few MB made of nothing else would cost hundreds of MB, or
// more stack than there is. So it is given the message only up to the line where one of the
// bounds below would be passed; what comes before that line is read as usual.
//
// The lines are judged as the parser could read them at the most, never less: a Content-Type
// field with its folded lines joined (blanks, comments and case do not hide a type), every line
// starting with "--" after a multipart was declared as a part's first line, and every block that
// could be a header block (the message's own, one after such a line, the header block of an
// attached message) as one.
class CMimeBounds {
public:
    // Multiparts and attached messages in all, and so also inside each other.
    static constexpr int kContainersMax = 32;
    // Parts of all multiparts together.
    static constexpr int kPartsMax = 10000;
    // Bytes of all header blocks together.
    static constexpr std::size_t kHeaderBytesMax = 128 * 1024;

    // The longest beginning of message, ending at a line end or at its end, within every bound.
    static std::string_view parsed(std::string_view message);
};
