#pragma once

#include <string>
#include <string_view>

// The text a person reads of an HTML part, for a message that has no plain text: the tags
// dropped (with what a script, a style sheet or the head holds), paragraphs and headings as
// blocks with an empty line between them, line breaks, list items and table rows each on a
// line of their own, white space run together as a browser does (but kept inside <pre>), and
// character references decoded. UTF-8 in, UTF-8 out, CR LF line ends.
class CHtmlText {
public:
    static std::string toPlainText(std::string_view html);
};
