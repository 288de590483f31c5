#pragma once

#include <string>
#include <string_view>

class CPop3Session;
class IContentHost;

// The beginning of a message in the content window: its header block, decoded, and the text of
// its first lines (CMessageText::preview). A reply longer than the program keeps, or a text
// longer once decoded, is shown cut, with a note that says so.
class CMessagePreview {
public:
    // TOP message lines, shown in host (nothing shown without one); returns when the window is
    // closed. A refused or lost TOP shows what it kept: nothing.
    static void show(CPop3Session& session, int message, int lines, IContentHost* host);
    // What the window shows of a TOP reply; cut: the reply was longer than the session keeps.
    static std::string text(std::string_view reply, bool cut);
};
