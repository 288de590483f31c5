#include "pop3/CHeaderDecoder.h"

namespace {

constexpr std::string_view kPrefix = "=?iso-8859-1?Q?";
constexpr std::string_view kSuffix = "?=";

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// First occurrence of an all-lower-case key in text, letters compared without regard to case.
std::size_t findKey(std::string_view text, std::string_view key) {
    if (key.size() > text.size())
        return std::string_view::npos;
    for (std::size_t i = 0; i + key.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < key.size() && lower(text[i + k]) == key[k])
            ++k;
        if (k == key.size())
            return i;
    }
    return std::string_view::npos;
}

} // namespace

unsigned char CHeaderDecoder::decodeHexPair(char high, char low) {
    int h = hexValue(high), l = hexValue(low);
    return h < 0 || l < 0 ? 0 : static_cast<unsigned char>(h * 16 + l);
}

std::string CHeaderDecoder::fieldValue(std::string_view text, std::string_view key, bool& found) {
    std::size_t at = findKey(text, key);
    found = at != std::string_view::npos;
    if (!found)
        return {};
    // One character after the colon is passed over unseen, normally the blank.
    std::size_t start = at + key.size() + 1;
    if (start >= text.size())
        return {};
    std::size_t end = text.find('\r', start);
    std::string_view value = text.substr(start, end == std::string_view::npos ? end : end - start);
    while (!value.empty() && isSpace(value.front()))
        value.remove_prefix(1);
    return std::string(value);
}

void CHeaderDecoder::decodeCodes(std::string& text, std::size_t from) {
    // One pass into a new string: replacing in place would move the rest of the text once per
    // code.
    if (from >= text.size() || text.find('=', from) == std::string::npos)
        return;
    std::string out(text, 0, from);
    out.reserve(text.size());
    for (std::size_t i = from; i < text.size();) {
        unsigned char byte = 0;
        if (text[i] == '=' && i + 2 < text.size() &&
            (byte = decodeHexPair(text[i + 1], text[i + 2])) != 0) {
            out += static_cast<char>(byte);
            i += 3;
        } else {
            out += text[i++];
        }
    }
    text = std::move(out);
}

void CHeaderDecoder::decodeEncodedWord(std::string& field) {
    // Text before the prefix (a reply prefix, say) is kept as it stands.
    std::size_t at = field.find(kPrefix);
    if (at == std::string::npos)
        return;
    field.erase(at, kPrefix.size());
    decodeCodes(field, at);
    std::size_t suffix = field.find(kSuffix, at);
    if (suffix != std::string::npos)
        field.erase(suffix, kSuffix.size());
}

CHeaderDecoder::Summary CHeaderDecoder::summarize(std::string_view text,
                                                  const std::string& missing) {
    Summary summary;
    std::string* fields[] = {&summary.from, &summary.subject, &summary.date};
    const std::string_view keys[] = {"from:", "subject:", "date:"};
    for (int i = 0; i < 3; ++i) {
        bool found = false;
        *fields[i] = fieldValue(text, keys[i], found);
        if (!found)
            *fields[i] = missing;
    }
    // The date is shown as sent.
    decodeEncodedWord(summary.from);
    decodeEncodedWord(summary.subject);
    return summary;
}

std::string CHeaderDecoder::previewText(std::string text) {
    if (text.find("quoted-printable") != std::string::npos)
        decodeCodes(text, 1);
    std::size_t end = text.find("\r\n.\r\n");
    if (end != std::string::npos)
        text.erase(end);
    return text;
}
