// The sender, subject and date that fetchSummary keeps of a TOP reply, and the decoding of one
// header value.
#include "FuzzCheck.h"
#include "pop3/CCharset.h"
#include "pop3/CHeaderDecoder.h"
#include "send/CHeaderWordEncoder.h"

#include <cctype>
#include <string>

namespace {

const std::string kMissing = "-saknas-";

// The value by the plain reading: first key anywhere in a lower-cased copy, one character after
// the colon skipped, every line that starts with a blank or tab joined without its line break,
// leading white space dropped.
bool referenceValue(std::string_view text, std::string_view key, std::string& value) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::size_t at = lower.find(key);
    if (at == std::string::npos)
        return false;
    value.clear();
    for (std::size_t i = at + key.size() + 1; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            value += text[i];
            continue;
        }
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        if (i + 1 >= text.size() || (text[i + 1] != ' ' && text[i + 1] != '\t'))
            break;
    }
    std::size_t blanks = 0;
    while (blanks < value.size() && std::isspace(static_cast<unsigned char>(value[blanks])))
        ++blanks;
    value.erase(0, blanks);
    return true;
}

// What a header text looks like on one line: no zero bytes, a line break (CR LF or either
// alone) one blank.
std::string oneLine(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        if (text[i] != '\0')
            out += text[i] == '\r' || text[i] == '\n' ? ' ' : text[i];
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view text = fuzz::asText(data, size);
    const CHeaderDecoder::Summary summary = CHeaderDecoder::summarize(text, kMissing);

    const std::pair<std::string_view, const std::string*> fields[] = {
        {"from:", &summary.from}, {"subject:", &summary.subject}, {"date:", &summary.date}};
    for (const auto& [key, kept] : fields) {
        std::string raw;
        if (!referenceValue(text, key, raw)) {
            FUZZ_CHECK(*kept == kMissing);
            continue;
        }
        // Always text, and never more than the one field.
        FUZZ_CHECK(CCharset::isUtf8(*kept));
        bool found = false;
        FUZZ_CHECK(CHeaderDecoder::fieldValue(text, key, found) == raw && found);
        if (key == "date:") {
            FUZZ_CHECK(*kept == CCharset::fromUnknown(raw));
        } else {
            FUZZ_CHECK(kept->find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
            std::string plain = raw;
            std::erase(plain, '\0');
            if (plain.find("=?") == std::string::npos)
                FUZZ_CHECK(*kept == oneLine(CCharset::fromUnknown(plain)));
        }
    }

    // Whatever a user types comes back from the words the program sends it as, folded into
    // lines of their own.
    std::string typed = CCharset::fromUnknown(text);
    std::erase(typed, '\0');
    if (CCharset::hasHighBytes(typed)) {
        const std::string sent = "Subject: " + CHeaderWordEncoder::encodeText(typed) + "\r\n\r\n";
        FUZZ_CHECK(CHeaderDecoder::summarize(sent, kMissing).subject == oneLine(typed));
    }
    return 0;
}
