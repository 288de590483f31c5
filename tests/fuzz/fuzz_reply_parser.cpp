// The POP3 status test and the STAT and LIST readers.
#include "FuzzCheck.h"
#include "pop3/CReplyParser.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The C library's reading of a leading number, which saturates instead of overflowing.
long long referenceNumber(std::string_view text) {
    const std::string copy(text.substr(0, text.find('\0')));
    errno = 0;
    return std::strtoll(copy.c_str(), nullptr, 10);
}

int clamp(long long v) {
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view text = fuzz::asText(data, size);

    bool failure = text.size() >= 4;
    for (std::size_t i = 0; failure && i < 4; ++i)
        failure = std::toupper(static_cast<unsigned char>(text[i])) == "-ERR"[i];
    FUZZ_CHECK(CReplyParser::isFailure(text) == failure);

    // strtoll stops at a zero byte; the reader must agree up to there.
    const std::string_view untilZero = text.substr(0, text.find('\0'));
    FUZZ_CHECK(CReplyParser::leadingNumber(untilZero) == referenceNumber(untilZero));

    // STAT: the values after the first and second blank; a missing blank keeps the old value.
    int count = -12345, octets = -67890;
    CReplyParser::parseStat(text, count, octets);
    const std::size_t first = text.find_first_of(" \t");
    const std::size_t second =
        first == std::string_view::npos ? first : text.find_first_of(" \t", first + 1);
    FUZZ_CHECK(count == (first == std::string_view::npos
                             ? -12345
                             : clamp(CReplyParser::leadingNumber(text.substr(first)))));
    FUZZ_CHECK(octets == (second == std::string_view::npos
                              ? -67890
                              : clamp(CReplyParser::leadingNumber(text.substr(second)))));

    // LIST: one size per line up to the terminating line, read after the line's first blank.
    std::vector<double> expected;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (line == "." || line == ".\r")
            break;
        for (std::size_t i = 0; i < line.size(); ++i)
            if (isBlank(line[i])) {
                expected.push_back(
                    static_cast<double>(CReplyParser::leadingNumber(line.substr(i))));
                break;
            }
    }
    FUZZ_CHECK(CReplyParser::parseListSizes(text) == expected);
    return 0;
}
