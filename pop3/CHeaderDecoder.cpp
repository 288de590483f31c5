#include "pop3/CHeaderDecoder.h"

#include "pop3/CCharset.h"
#include "pop3/CEncodedWords.h"

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// First occurrence of an all-lower-case key in text, letters compared without regard to case.
std::size_t findKey(std::string_view text, std::string_view key) {
    if (key.size() > text.size())
        return std::string_view::npos;
    for (std::size_t i = 0; i + key.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < key.size() && CCharset::lowerAscii(text[i + k]) == key[k])
            ++k;
        if (k == key.size())
            return i;
    }
    return std::string_view::npos;
}

// The field from start on, up to the line break that no blank or tab continues; the line breaks
// that one does continue are left out.
std::string unfoldedField(std::string_view text, std::size_t start) {
    std::string value;
    for (std::size_t i = start; i < text.size();) {
        const std::size_t lineEnd = text.find_first_of("\r\n", i);
        value.append(text.substr(i, lineEnd - i));
        if (lineEnd == std::string_view::npos)
            break;
        std::size_t next = lineEnd + 1;
        if (text[lineEnd] == '\r' && next < text.size() && text[next] == '\n')
            ++next;
        if (next >= text.size() || (text[next] != ' ' && text[next] != '\t'))
            break;
        i = next;
    }
    return value;
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
    std::string value = unfoldedField(text, start);
    std::size_t blanks = 0;
    while (blanks < value.size() && CCharset::isSpace(value[blanks]))
        ++blanks;
    value.erase(0, blanks);
    return value;
}

std::string CHeaderDecoder::decodeText(std::string_view value) {
    std::string bytes(value);
    std::erase(bytes, '\0');
    std::string text = CEncodedWords::decode(CCharset::fromUnknown(bytes));
    // A header is one line: a line break is a blank, CR LF one blank.
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        if (c != '\0')
            line += c == '\r' || c == '\n' ? ' ' : c;
    }
    return line;
}

CHeaderDecoder::Summary CHeaderDecoder::summarize(std::string_view text,
                                                  const std::string& missing) {
    Summary summary;
    std::string* fields[] = {&summary.from, &summary.subject, &summary.date};
    const std::string_view keys[] = {"from:", "subject:", "date:"};
    for (int i = 0; i < 3; ++i) {
        bool found = false;
        const std::string value = fieldValue(text, keys[i], found);
        if (!found)
            *fields[i] = missing;
        else if (i < 2)
            *fields[i] = decodeText(value);
        else // the date is shown as sent, only made text
            *fields[i] = CCharset::fromUnknown(value);
    }
    return summary;
}
