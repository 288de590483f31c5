// The sender, subject and date that fetchSummary keeps of a TOP reply.
#include "FuzzCheck.h"
#include "pop3/CHeaderDecoder.h"

#include <cctype>
#include <string>

namespace {

const std::string kMissing = "-saknas-";
constexpr std::string_view kPrefix = "=?iso-8859-1?Q?";

// The value by the plain reading: first key anywhere in a lower-cased copy, one character after
// the colon skipped, up to the next CR, leading white space dropped.
bool referenceValue(std::string_view text, std::string_view key, std::string& value) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::size_t at = lower.find(key);
    if (at == std::string::npos)
        return false;
    value.clear();
    const std::size_t start = at + key.size() + 1;
    if (start >= text.size())
        return true;
    const std::size_t end = text.find('\r', start);
    value = std::string(text.substr(start, end == std::string_view::npos ? end : end - start));
    std::size_t blanks = 0;
    while (blanks < value.size() && std::isspace(static_cast<unsigned char>(value[blanks])))
        ++blanks;
    value.erase(0, blanks);
    return true;
}

// The encoded word as the slow in-place algorithm decodes it.
std::string referenceDecoded(std::string field) {
    const std::size_t at = field.find(kPrefix);
    if (at == std::string::npos)
        return field;
    field.erase(at, kPrefix.size());
    for (std::size_t p = field.find('=', at); p != std::string::npos && p + 2 < field.size();
         p = field.find('=', p + 1)) {
        if (unsigned char byte = CHeaderDecoder::decodeHexPair(field[p + 1], field[p + 2]))
            field.replace(p, 3, 1, static_cast<char>(byte));
    }
    const std::size_t suffix = field.find("?=", at);
    if (suffix != std::string::npos)
        field.erase(suffix, 2);
    return field;
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
        // One physical line of the reply, never more.
        FUZZ_CHECK(raw.find('\r') == std::string::npos);
        FUZZ_CHECK(raw.size() <= text.size());
        if (key == "date:") {
            FUZZ_CHECK(*kept == raw);
        } else {
            FUZZ_CHECK(*kept == referenceDecoded(raw));
            FUZZ_CHECK(kept->size() <= raw.size());
        }
    }
    return 0;
}
