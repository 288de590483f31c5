#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What the content window puts on the screen of a text. The window lays a line out in time that
// grows with the square of its length (a line of 2 MB took minutes) and keeps a few hundred
// bytes for every line, so a line longer than kLineMax characters is broken into lines of at
// most that many, at its last blank where one stands in the second half, and after kLinesMax
// lines the text is cut, with a note that says so. The window then shows any text the program
// keeps within a fraction of a second.
class CContentText {
public:
    static constexpr std::size_t kLineMax = 1000;
    static constexpr std::size_t kLinesMax = 20000;

    // UTF-8 in and out; lines end in LF or CR LF, and so do the breaks added.
    static std::string forDisplay(std::string_view text);
};
