#include "platform/CTlsMemory.h"

#include "platform/ISettingsStore.h"

#include <algorithm>
#include <string_view>

namespace {

const char* keyOf(CTlsMemory::Offer offer) {
    return offer == CTlsMemory::Offer::Stls ? CTlsMemory::kStlsKey : CTlsMemory::kStartTlsKey;
}

// "host:port", the host in lower case. The port has no colon, so the last one parts them, and no
// two servers share an entry. A blank would part the list, so it is written as %20 (and % as
// %25).
std::string entryOf(const std::string& host, int port) {
    std::string entry;
    for (char c : host) {
        if (c == ' ')
            entry += "%20";
        else if (c == '%')
            entry += "%25";
        else
            entry += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return entry + ":" + std::to_string(port);
}

bool listed(std::string_view list, std::string_view entry) {
    while (!list.empty()) {
        const std::size_t end = std::min(list.find(' '), list.size());
        if (list.substr(0, end) == entry)
            return true;
        list.remove_prefix(std::min(end + 1, list.size()));
    }
    return false;
}

} // namespace

bool CTlsMemory::offeredBefore(Offer offer, const std::string& host, int port) const {
    return listed(store_.readString(keyOf(offer), {}), entryOf(host, port));
}

void CTlsMemory::remember(Offer offer, const std::string& host, int port) {
    const std::string list = store_.readString(keyOf(offer), {});
    const std::string entry = entryOf(host, port);
    if (!listed(list, entry))
        store_.writeString(keyOf(offer), list.empty() ? entry : list + " " + entry);
}
