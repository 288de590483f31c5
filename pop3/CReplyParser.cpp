#include "pop3/CReplyParser.h"

#include "pop3/CCharset.h"
#include "pop3/ReplyLimits.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>

namespace {

// A capability name longer than this is none the scan looks for.
constexpr std::size_t kWordKept = 16;

bool sortedDistinct(std::vector<std::string_view> ids) {
    std::sort(ids.begin(), ids.end());
    return std::adjacent_find(ids.begin(), ids.end()) == ids.end();
}

// No two ids are the same. A table of their hashes tells in one pass; ids made to collide in it
// would cost a search each, so after a few steps of one search they are sorted instead, which
// takes n log n whatever they are.
bool allDistinct(const std::vector<std::string_view>& ids) {
    constexpr int kStepsMax = 32;
    std::size_t size = 16;
    while (size < 2 * ids.size())
        size *= 2;
    const int shift = 64 - std::countr_zero(size);
    std::vector<std::uint32_t> table(size, 0); // the index of an id, plus one
    for (std::size_t k = 0; k < ids.size(); ++k) {
        std::uint64_t hash = 0xCBF29CE484222325; // FNV-1a
        for (char c : ids[k])
            hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3;
        // The high bits of a multiple, which every byte of the id moves.
        std::size_t at = static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15) >> shift);
        for (int step = 0;; ++step, at = (at + 1) & (size - 1)) {
            if (step == kStepsMax)
                return sortedDistinct(ids);
            if (table[at] == 0) {
                table[at] = static_cast<std::uint32_t>(k + 1);
                break;
            }
            if (ids[table[at] - 1] == ids[k])
                return false;
        }
    }
    return true;
}

int toInt(long long v) {
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
}

} // namespace

bool CReplyParser::isFailure(std::string_view statusLine) {
    return CCharset::startsWithIgnoringCase(statusLine, "-ERR");
}

long long CReplyParser::leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && CCharset::isSpace(text[i]))
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
        if (!CCharset::isBlank(statusLine[i]))
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
        if (CCharset::isBlank(line[i])) {
            size = static_cast<double>(leadingNumber(line.substr(i)));
            return true;
        }
    }
    return false;
}

void CReplyParser::ListScan::feed(std::string_view bytes) {
    auto append = [this](std::string_view part) {
        line_.append(part.substr(0, ReplyLimits::kStatusLineMax -
                                        std::min(line_.size(), ReplyLimits::kStatusLineMax)));
    };
    for (std::size_t end; (end = bytes.find('\n')) != std::string_view::npos;) {
        append(bytes.substr(0, end));
        bytes.remove_prefix(end + 1);
        if (double size = 0; parseListLine(line_, size)) {
            ++listed_;
            if (sizes_.size() < keep_)
                sizes_.push_back(size);
        }
        line_.clear();
    }
    append(bytes);
}

bool CReplyParser::parseExactStat(std::string_view line, long long& count) {
    if (!line.ends_with("\r\n") || !CCharset::startsWithIgnoringCase(line, "+OK "))
        return false;
    line.remove_suffix(2);
    line.remove_prefix(4);
    auto number = [&line](long long& value) {
        std::size_t n = 0;
        for (value = 0; n < line.size() && line[n] >= '0' && line[n] <= '9'; ++n)
            value = std::min(value * 10 + (line[n] - '0'), 1LL << 40);
        line.remove_prefix(n);
        return n > 0;
    };
    long long octets = 0;
    if (!number(count) || !line.starts_with(' '))
        return false;
    line.remove_prefix(1);
    return number(octets) && (line.empty() || line[0] == ' ');
}

bool CReplyParser::parseUidl(std::string_view data, int count, std::vector<std::string>& uids) {
    uids.clear();
    // A message per line at the most: memory follows the lines that arrived, never the count
    // the server claimed.
    const auto lines = static_cast<std::size_t>(std::count(data.begin(), data.end(), '\n')) + 1;
    if (count < 0 || static_cast<std::size_t>(count) > lines)
        return false;
    std::vector<std::string_view> byMessage(static_cast<std::size_t>(count));
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
        if (n < 1 || n > count || uid.empty() || uid.size() > kUidMax)
            return false;
        for (char c : uid)
            if (c < 0x21 || c > 0x7E)
                return false;
        std::string_view& slot = byMessage[static_cast<std::size_t>(n - 1)];
        if (!slot.empty())
            return false;
        slot = uid;
        ++listed;
    }
    if (listed != count || !allDistinct(byMessage))
        return false;
    uids.assign(byMessage.begin(), byMessage.end());
    return true;
}

bool CReplyParser::listsCapability(std::string_view data, std::string_view capability) {
    while (!data.empty()) {
        const std::size_t end = data.find('\n');
        std::string_view line = data.substr(0, end);
        data = end == std::string_view::npos ? std::string_view{} : data.substr(end + 1);
        if (CCharset::equalsIgnoringCase(line.substr(0, line.find_first_of(" \t\r")), capability))
            return true;
    }
    return false;
}

void CReplyParser::CapabilityScan::feed(std::string_view bytes) {
    for (const char c : bytes) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            endWord();
            if (c == '\n') {
                firstWord_ = true;
                saslLine_ = false;
            }
        } else if (firstWord_ || saslLine_) { // other lines are judged by their first word
            if (word_.size() <= kWordKept)
                word_ += c;
        }
    }
}

bool CReplyParser::CapabilityScan::pendingIs(std::string_view capability) const {
    return firstWord_ && CCharset::equalsIgnoringCase(word_, capability);
}

bool CReplyParser::CapabilityScan::oauthBearer() const {
    return oauthBearer_ ||
           (!firstWord_ && saslLine_ && CCharset::equalsIgnoringCase(word_, "OAUTHBEARER"));
}

void CReplyParser::CapabilityScan::endWord() {
    if (firstWord_) {
        // A line that begins with a blank has an empty first word, and lists nothing.
        stls_ = stls_ || pendingIs("STLS");
        pipelining_ = pipelining_ || pendingIs("PIPELINING");
        saslLine_ = pendingIs("SASL");
        firstWord_ = false;
    } else if (saslLine_) {
        oauthBearer_ = oauthBearer_ || oauthBearer();
    }
    word_.clear();
}
