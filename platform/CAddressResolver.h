#pragma once

#include "platform/CClock.h"
#include "platform/IStream.h"

#include <string>
#include <sys/socket.h>
#include <vector>

struct ResolvedAddress {
    sockaddr_storage address{};
    socklen_t length = 0;
    int family = 0;
};

// getaddrinfo bounded by a deadline: a dotted address is taken at once; a name is looked up on a
// helper thread while the caller waits in 50 ms slices and runs the wait hook. The user's stop
// (CCancelRegistry::stopWaits) ends the wait at once.
class CAddressResolver {
public:
    // why, when given, says what the user can act on after a failure: UnknownHost, TimedOut,
    // Cancelled or Unspecified.
    static bool resolve(const std::string& host, int port, int socketType,
                        CClock::TimePoint deadline, std::vector<ResolvedAddress>& out,
                        std::string& error, ConnectFailure* why = nullptr);
};
