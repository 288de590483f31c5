// What the content window shows of a TOP reply, and the text of a part whatever its bytes.
#include "FuzzCheck.h"
#include "pop3/CCharset.h"
#include "pop3/CMessageText.h"
#include "pop3/CMimeBounds.h"

#include <string>

namespace {

// The text as the reader shows it: CR LF line ends, no zero bytes, no line end at the end.
std::string tidied(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (text[i] != '\0') {
            out += text[i];
        }
    }
    while (!out.empty() && (out.back() == '\r' || out.back() == '\n'))
        out.pop_back();
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view bytes = fuzz::asText(data, size);

    // What the MIME parser reads ends where a line ends.
    const std::string_view parsed = CMimeBounds::parsed(bytes);
    FUZZ_CHECK(parsed == bytes.substr(0, parsed.size()));
    FUZZ_CHECK(parsed.size() == bytes.size() || parsed.empty() || parsed.back() == '\n');

    // Any reply: always text, never more than a few times its size.
    const std::string shown = CMessageText::preview(bytes);
    FUZZ_CHECK(CCharset::isUtf8(shown));
    FUZZ_CHECK(shown.size() <= 3 * size + 4);

    // The same bytes as the base64 text of a multipart message, as a phone sends it: the text
    // is exactly those bytes read in the declared charset.
    const std::string message =
        "MIME-Version: 1.0\r\nContent-Type: multipart/alternative; boundary=\"=_b\"\r\n\r\n"
        "--=_b\r\nContent-Type: text/plain; charset=UTF-8\r\n"
        "Content-Transfer-Encoding: base64\r\n\r\n" +
        fuzz::base64(bytes, true, 57) +
        "\r\n--=_b\r\nContent-Type: text/html\r\n\r\n<p>x</p>\r\n--=_b--\r\n";
    FUZZ_CHECK(CMessageText::readableText(message) ==
               tidied(CCharset::toUtf8(bytes, "UTF-8", true)));
    return 0;
}
