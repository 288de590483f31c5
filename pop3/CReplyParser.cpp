#include "pop3/CReplyParser.h"

#include <cctype>
#include <climits>
#include <unordered_set>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int toInt(long long v) {
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
}

} // namespace

bool CReplyParser::isFailure(std::string_view statusLine) {
    constexpr std::string_view kErr = "-ERR";
    if (statusLine.size() < kErr.size())
        return false;
    for (std::size_t i = 0; i < kErr.size(); ++i) {
        char c = statusLine[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != kErr[i])
            return false;
    }
    return true;
}

long long CReplyParser::leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        int digit = text[i] - '0';
        if (value > (LLONG_MAX - digit) / 10)
            return negative ? LLONG_MIN : LLONG_MAX;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

void CReplyParser::parseStat(std::string_view statusLine, int& messageCount, int& mailboxOctets) {
    int blanks = 0;
    for (std::size_t i = 0; i < statusLine.size(); ++i) {
        if (!isBlank(statusLine[i]))
            continue;
        long long value = leadingNumber(statusLine.substr(i));
        if (++blanks == 1) {
            messageCount = toInt(value);
        } else {
            mailboxOctets = toInt(value);
            return;
        }
    }
}

std::vector<double> CReplyParser::parseListSizes(std::string_view data) {
    std::vector<double> sizes;
    while (!data.empty()) {
        std::size_t end = data.find('\n');
        std::string_view line = data.substr(0, end);
        data = end == std::string_view::npos ? std::string_view{} : data.substr(end + 1);
        if (line == "." || line == ".\r")
            break;
        if (double size = 0; parseListLine(line, size))
            sizes.push_back(size);
    }
    return sizes;
}

bool CReplyParser::parseListLine(std::string_view line, double& size) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (isBlank(line[i])) {
            size = static_cast<double>(leadingNumber(line.substr(i)));
            return true;
        }
    }
    return false;
}

bool CReplyParser::parseUidl(std::string_view data, int count, std::vector<std::string>& uids) {
    uids.assign(count > 0 ? static_cast<std::size_t>(count) : 0, std::string{});
    std::unordered_set<std::string_view> seen;
    int listed = 0;
    while (!data.empty()) {
        const std::size_t end = data.find('\n');
        std::string_view line = data.substr(0, end);
        data = end == std::string_view::npos ? std::string_view{} : data.substr(end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line == ".")
            break;
        const std::size_t blank = line.find(' ');
        if (blank == std::string_view::npos || blank == 0)
            return false;
        for (std::size_t i = 0; i < blank; ++i)
            if (line[i] < '0' || line[i] > '9')
                return false;
        const long long n = leadingNumber(line.substr(0, blank));
        const std::string_view uid = line.substr(blank + 1);
        if (n < 1 || n > count || uid.empty() || uid.size() > 70)
            return false;
        for (char c : uid)
            if (c < 0x21 || c > 0x7E)
                return false;
        std::string& slot = uids[static_cast<std::size_t>(n - 1)];
        if (!slot.empty() || !seen.insert(uid).second)
            return false;
        slot.assign(uid);
        ++listed;
    }
    return listed == count;
}

bool CReplyParser::listsCapability(std::string_view data, std::string_view capability) {
    while (!data.empty()) {
        const std::size_t end = data.find('\n');
        std::string_view line = data.substr(0, end);
        data = end == std::string_view::npos ? std::string_view{} : data.substr(end + 1);
        line = line.substr(0, line.find_first_of(" \t\r"));
        if (line.size() != capability.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < line.size() && same; ++i)
            same = std::toupper(static_cast<unsigned char>(line[i])) ==
                   std::toupper(static_cast<unsigned char>(capability[i]));
        if (same)
            return true;
    }
    return false;
}
