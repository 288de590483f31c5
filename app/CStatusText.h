#pragma once

#include <string>
#include <string_view>

// What the one-line status line makes of a status text. A server's reply keeps its line ends in
// the text, and a reply of several lines would put them in the middle of the line.
class CStatusText {
public:
    // The text as one line: its lines joined by one blank, line ends and empty lines gone. In an
    // SMTP reply of several lines ("535-5.7.8 Username and Password not accepted.\r\n535 5.7.8
    // Learn more at ...") the code each further line repeats is dropped, and so is an enhanced
    // status code that repeats the first line's; the first line's "535-" reads "535 ".
    static std::string oneLine(std::string_view text);
};
