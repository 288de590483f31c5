// The HTML converter alone: text in, text out, never more than about twice as long, and a text
// with no markup and no blanks comes out as it went in.
#include "FuzzCheck.h"
#include "pop3/CCharset.h"
#include "pop3/CHtmlText.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view html = fuzz::asText(data, size);
    const std::string text = CHtmlText::toPlainText(html);
    // A character reference of four characters can give four bytes, a tag of four a line break
    // and "- "; nothing gives more.
    FUZZ_CHECK(text.size() <= 2 * html.size() + 8);
    // Tags, comments and references start and end with ASCII characters, so nothing cuts a
    // character in two.
    if (CCharset::isUtf8(html))
        FUZZ_CHECK(CCharset::isUtf8(text));
    if (html.find_first_of("<& \t\r\n\f") == std::string_view::npos)
        FUZZ_CHECK(text == html);
    return 0;
}
