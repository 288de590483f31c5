#pragma once

#include <string>
#include <string_view>

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
