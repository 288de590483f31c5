#pragma once

#include "platform/IDatagramSocket.h"
#include "platform/IStream.h"

#include <memory>
#include <string>

// Plain TCP, or TLS from the first byte (the sessions choose by the well-known TLS ports).
enum class StreamSecurity { Plain, Tls };

// The sessions take their sockets from a factory, so that tests can hand in in-memory streams.
class ISocketFactory {
public:
    virtual ~ISocketFactory() = default;
    virtual std::unique_ptr<IStream> createStream(StreamSecurity security) = 0;
    virtual std::unique_ptr<IDatagramSocket> createDatagramSocket() = 0;
    // TLS on a connected plain stream of this factory, after the server agreed to it (STARTTLS,
    // STLS), with the same checks as a stream that speaks TLS from its first byte. The result
    // takes the plain stream's place: open on success, otherwise closed with connectFailure()
    // saying why, or null from a factory that cannot do TLS.
    virtual std::unique_ptr<IStream> startTls(std::unique_ptr<IStream> /*plain*/,
                                              const std::string& /*host*/) {
        return nullptr;
    }
};
