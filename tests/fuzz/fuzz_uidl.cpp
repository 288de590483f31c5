// The UIDL listing: it keys the rows only when it gives each message of the count exactly one
// id of its own, and then gives exactly those ids; the count the server claimed costs nothing.
#include "FuzzCheck.h"
#include "pop3/CReplyParser.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// The listing by the plain reading: numbered lines up to ".", each "number id" with one blank.
bool reference(std::string_view data, int count, std::vector<std::string>& uids) {
    std::map<long long, std::string> byNumber;
    std::set<std::string> seen;
    while (!data.empty()) {
        const std::size_t end = data.find('\n');
        std::string line(data.substr(0, end));
        data = end == std::string_view::npos ? std::string_view{} : data.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line == ".")
            break;
        const std::size_t blank = line.find(' ');
        if (blank == std::string::npos || blank == 0)
            return false;
        long long n = 0; // held above every count once it is past them
        for (std::size_t i = 0; i < blank; ++i) {
            if (line[i] < '0' || line[i] > '9')
                return false;
            n = std::min(n * 10 + (line[i] - '0'), 1LL << 40);
        }
        const std::string uid = line.substr(blank + 1);
        if (n < 1 || n > count || uid.empty() || uid.size() > CReplyParser::kUidMax)
            return false;
        for (char c : uid)
            if (c < 0x21 || c > 0x7E)
                return false;
        if (!byNumber.emplace(n, uid).second || !seen.insert(uid).second)
            return false;
    }
    if (static_cast<long long>(byNumber.size()) != count)
        return false;
    for (const auto& entry : byNumber)
        uids.push_back(entry.second);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    // Mostly a count the listing can match; now and then one no listing backs.
    const int count = provider.ConsumeBool() ? provider.ConsumeIntegralInRange<int>(-1, 300)
                                             : provider.ConsumeIntegral<int>();
    std::string listing;
    if (provider.ConsumeBool()) {
        listing = provider.ConsumeRemainingBytesAsString();
    } else {
        // Ids the fuzzer chooses, for the messages in the order it chooses.
        const int listed = std::min(std::max(count, 0), 300);
        std::vector<int> order(static_cast<std::size_t>(listed));
        for (int i = 0; i < listed; ++i)
            order[static_cast<std::size_t>(i)] = i + 1;
        for (std::size_t i = order.size(); i > 1; --i)
            std::swap(order[i - 1], order[provider.ConsumeIntegralInRange<std::size_t>(0, i - 1)]);
        for (int n : order)
            listing += std::to_string(n) + " " + provider.ConsumeRandomLengthString(80) + "\r\n";
        listing += ".\r\n";
    }

    std::vector<std::string> uids = {"left over"}, expected;
    const bool keyed = CReplyParser::parseUidl(listing, count, uids);
    FUZZ_CHECK(keyed == reference(listing, count, expected));
    FUZZ_CHECK(uids == (keyed ? expected : std::vector<std::string>{}));
    return 0;
}
