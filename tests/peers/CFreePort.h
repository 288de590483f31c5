#pragma once

#include <string>

// A port that was free a moment ago, for a test peer to listen on. Another process may take it
// before the peer binds it; peers that start with it retry on "address in use".
class CFreePort {
public:
    // Binds port 0 on address (IPv4 or IPv6 literal) and returns the port the kernel chose,
    // or -1 if no socket could be bound there.
    static int pick(const std::string& address = "127.0.0.1");
    // A 127.x.y.z address (not 127.0.0.x, which the machine's own services use) where TCP port
    // was free a moment ago, for a peer that must listen on a fixed port. Empty with the reason
    // when none was found, e.g. when a port below 1024 needs root.
    static std::string pickAddress(int port, std::string& reason);
};
