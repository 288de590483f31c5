#pragma once

#include <string>

// A port that was free a moment ago, for a test peer to listen on. Another process may take it
// before the peer binds it; peers that start with it retry on "address in use".
class CFreePort {
public:
    // Binds port 0 on address (IPv4 or IPv6 literal) and returns the port the kernel chose,
    // or -1 if no socket could be bound there.
    static int pick(const std::string& address = "127.0.0.1");
};
