#pragma once

#include "platform/IStream.h"

#include <string>
#include <string_view>

// One question out, one answer in: the UDP exchange of a DNS query.
class IDatagramSocket {
public:
    virtual ~IDatagramSocket() = default;

    // Sends one datagram to host and port; later receives accept only that peer's datagrams.
    virtual bool sendTo(const std::string& host, int port, std::string_view datagram) = 0;
    // Waits for one datagram and keeps at most max bytes of it.
    virtual IoResult receive(char* into, std::size_t max) = 0;
    virtual std::string lastError() const = 0;
};
