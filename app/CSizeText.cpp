#include "app/CSizeText.h"

#include <charconv>

namespace {

// printf's "%W.Pf" without printf, whose decimal sign follows the process locale.
std::string fixed(double value, int width, int precision) {
    char digits[400];
    auto [end, ec] =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, precision);
    std::string text = ec == std::errc() ? std::string(digits, end) : std::string("?");
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

} // namespace

std::string CSizeText::formatSize(double bytes) {
    if (bytes > 1048576.0)
        return fixed(bytes / 1048576.0, 5, 2) + " MB";
    if (bytes > 1024.0)
        return fixed(bytes / 1024.0, 3, 2) + " kB";
    return fixed(bytes, 4, 0) + " bytes";
}
