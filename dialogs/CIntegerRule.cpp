#include "dialogs/CIntegerRule.h"

#include "pop3/CCharset.h"

#include <cstdint>
#include <limits>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

bool CIntegerRule::parse(std::string_view text, int& value) {
    std::size_t i = 0;
    while (i < text.size() && CCharset::isBlank(text[i]))
        ++i;

    bool negative = false;
    bool hasSign = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        hasSign = true;
        ++i;
    }

    // The magnitude may reach 2^31 at the negative end; a number beyond the range is refused as
    // soon as it is seen, so a long run of digits cannot overflow the accumulator.
    const std::int64_t limit = negative
                                   ? -static_cast<std::int64_t>(std::numeric_limits<int>::min())
                                   : static_cast<std::int64_t>(std::numeric_limits<int>::max());
    std::int64_t magnitude = 0;
    const std::size_t firstDigit = i;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit)
            return false;
    }
    if (i == firstDigit)
        return false;
    if (hasSign && magnitude == 0)
        return false;

    while (i < text.size() && CCharset::isBlank(text[i]))
        ++i;
    if (i != text.size())
        return false;

    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

std::string CIntegerRule::rangeMessage(int low, int high, std::string_view pattern) {
    std::string text(pattern);
    const auto fill = [&text](std::string_view marker, int number) {
        const std::size_t at = text.find(marker);
        if (at != std::string::npos)
            text.replace(at, marker.size(), std::to_string(number));
    };
    fill("%1", low);
    fill("%2", high);
    return text;
}
