#include "platform/CAddressResolver.h"

#include "platform/CCancelRegistry.h"
#include "platform/CWaitHook.h"

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <thread>

namespace {

struct Lookup {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    int code = 0;
    std::vector<ResolvedAddress> addresses;
};

int lookUp(const std::string& host, const std::string& service, int socketType, int flags,
           std::vector<ResolvedAddress>& out) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = socketType;
    hints.ai_flags = flags;
    addrinfo* list = nullptr;
    int code = getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
    if (code != 0)
        return code;
    for (addrinfo* ai = list; ai; ai = ai->ai_next) {
        if (ai->ai_addrlen > sizeof(sockaddr_storage))
            continue;
        ResolvedAddress a;
        std::memcpy(&a.address, ai->ai_addr, ai->ai_addrlen);
        a.length = ai->ai_addrlen;
        a.family = ai->ai_family;
        out.push_back(a);
    }
    freeaddrinfo(list);
    return out.empty() ? EAI_NONAME : 0;
}

bool namesNothing(int code) {
#ifdef EAI_NODATA
    if (code == EAI_NODATA)
        return true;
#endif
    return code == EAI_NONAME;
}

} // namespace

bool CAddressResolver::resolve(const std::string& host, int port, int socketType,
                               CClock::TimePoint deadline, std::vector<ResolvedAddress>& out,
                               std::string& error, ConnectFailure* why) {
    ConnectFailure ignored{};
    ConnectFailure& failure = why ? *why : ignored;
    failure = ConnectFailure::Unspecified;
    out.clear();
    if (host.empty() || host.find('\0') != std::string::npos || port < 0 || port > 65535) {
        error = "invalid host or port";
        return false;
    }
    const std::string service = std::to_string(port);
    if (lookUp(host, service, socketType, AI_NUMERICHOST | AI_NUMERICSERV, out) == 0)
        return true;
    out.clear();

    // The lookup thread owns its share of the state, so a caller that gives up leaves nothing
    // dangling behind.
    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, host, service, socketType] {
        std::vector<ResolvedAddress> found;
        int code = lookUp(host, service, socketType, AI_NUMERICSERV | AI_ADDRCONFIG, found);
        std::lock_guard lock(lookup->mutex);
        lookup->code = code;
        lookup->addresses = std::move(found);
        lookup->done = true;
        lookup->finished.notify_all();
    }).detach();

    for (;;) {
        {
            std::unique_lock lock(lookup->mutex);
            int slice = std::min(50, CClock::remainingMs(deadline));
            lookup->finished.wait_for(lock, std::chrono::milliseconds(slice),
                                      [&] { return lookup->done; });
            if (lookup->done) {
                if (lookup->code != 0) {
                    error = gai_strerror(lookup->code);
                    // The name servers answered that there is no such name (or no address
                    // for it); a failure to reach them says nothing about the name.
                    if (namesNothing(lookup->code))
                        failure = ConnectFailure::UnknownHost;
                    return false;
                }
                out = lookup->addresses;
                return true;
            }
        }
        if (CClock::remainingMs(deadline) == 0) {
            error = "name lookup timed out";
            failure = ConnectFailure::TimedOut;
            return false;
        }
        CWaitHook::run();
        if (CCancelRegistry::waitsStopped()) {
            error = "cancelled";
            failure = ConnectFailure::Cancelled;
            return false;
        }
    }
}
