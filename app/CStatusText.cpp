#include "app/CStatusText.h"

#include <algorithm>
#include <vector>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

// The reply code a line begins with ("535" of "535-..." or "535 ..."); empty without one.
std::string_view codeOf(std::string_view line) {
    if (line.size() < 3 || !isDigit(line[0]) || !isDigit(line[1]) || !isDigit(line[2]))
        return {};
    if (line.size() > 3 && line[3] != ' ' && line[3] != '-')
        return {};
    return line.substr(0, 3);
}

// An enhanced status code ("5.7.8") at the start of text; empty without one.
std::string_view enhancedOf(std::string_view text) {
    std::size_t i = 0;
    for (int part = 0; part < 3; ++part) {
        const std::size_t start = i;
        while (i < text.size() && isDigit(text[i]) && i - start < 3)
            ++i;
        if (i == start || (part == 0 && i - start != 1))
            return {};
        if (part < 2) {
            if (i >= text.size() || text[i] != '.')
                return {};
            ++i;
        }
    }
    if (i < text.size() && text[i] != ' ')
        return {};
    return text.substr(0, i);
}

// Drops prefix and the blanks after it from the start of line, when line begins with it as a word.
void dropWord(std::string_view& line, std::string_view prefix) {
    if (prefix.empty() || !line.starts_with(prefix))
        return;
    const std::string_view rest = line.substr(prefix.size());
    if (!rest.empty() && rest.front() != ' ' && rest.front() != '-')
        return;
    line = trimmed(rest.empty() ? rest : rest.substr(1));
}

} // namespace

std::string CStatusText::oneLine(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        if (end > start && !trimmed(text.substr(start, end - start)).empty())
            lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (lines.empty())
        return {};
    std::string first(lines.front());
    while (!first.empty() && (first.back() == ' ' || first.back() == '\t'))
        first.pop_back();
    if (lines.size() == 1)
        return first;

    // The last line of a reply carries its code; the first line ends in "<code>-<text>".
    const std::string_view code = codeOf(trimmed(lines.back()));
    std::string_view enhanced;
    const std::size_t at = code.empty() ? std::string::npos : first.rfind(std::string(code) + "-");
    if (at != std::string::npos) {
        first[at + 3] = ' ';
        enhanced = enhancedOf(std::string_view(first).substr(at + 4));
    }
    std::string out = first;
    for (std::size_t k = 1; k < lines.size(); ++k) {
        std::string_view line = trimmed(lines[k]);
        if (!code.empty() && codeOf(line) == code) {
            dropWord(line, code);
            dropWord(line, enhanced);
        }
        if (!line.empty())
            out.append(" ").append(line);
    }
    return out;
}
