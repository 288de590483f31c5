#include "send/CMessageStamps.h"

#include <atomic>
#include <cstdio>
#include <sys/random.h>
#include <unistd.h>

namespace {

constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// atext of RFC 5322, ASCII only.
bool isAtext(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("!#$%&'*+-/=?^_`{|}~").find(c) != std::string_view::npos;
}

bool isDotAtom(std::string_view text) {
    if (text.empty() || text.front() == '.' || text.back() == '.' ||
        text.find("..") != std::string_view::npos)
        return false;
    for (char c : text)
        if (c != '.' && !isAtext(c))
            return false;
    return true;
}

} // namespace

std::string CMessageStamps::formatDate(const std::tm& local, long offsetSeconds) {
    const long minutes = (offsetSeconds < 0 ? -offsetSeconds : offsetSeconds) / 60;
    char text[64];
    std::snprintf(text, sizeof text, "%s, %d %s %04d %02d:%02d:%02d %c%02ld%02ld",
                  kDays[((local.tm_wday % 7) + 7) % 7], local.tm_mday,
                  kMonths[((local.tm_mon % 12) + 12) % 12], local.tm_year + 1900, local.tm_hour,
                  local.tm_min, local.tm_sec, offsetSeconds < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return text;
}

std::string CMessageStamps::date() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return formatDate(local, local.tm_gmtoff);
}

std::string CMessageStamps::idDomain(std::string_view senderAddress) {
    const std::size_t at = senderAddress.rfind('@');
    std::string_view domain =
        at == std::string_view::npos ? std::string_view{} : senderAddress.substr(at + 1);
    while (!domain.empty() && (domain.back() == ' ' || domain.back() == '\t'))
        domain.remove_suffix(1);
    return isDotAtom(domain) ? std::string(domain) : std::string("localhost");
}

std::string CMessageStamps::messageId(std::string_view domain) {
    static std::atomic<unsigned> count{0};
    // Without random bits the time, the process and the count still tell the ids apart.
    unsigned long long bits = 0;
    if (::getrandom(&bits, sizeof bits, 0) != static_cast<ssize_t>(sizeof bits))
        bits = 0;
    char left[96];
    std::snprintf(left, sizeof left, "%lld.%ld.%016llx.%u",
                  static_cast<long long>(std::time(nullptr)), static_cast<long>(::getpid()), bits,
                  ++count);
    return "<" + std::string(left) + "@" + std::string(domain) + ">";
}
