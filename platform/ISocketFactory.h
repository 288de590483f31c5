#pragma once

#include "platform/IDatagramSocket.h"
#include "platform/IStream.h"

#include <memory>

// Plain TCP, or TLS from the first byte (the sessions choose by the well-known TLS ports).
enum class StreamSecurity { Plain, Tls };

// The sessions take their sockets from a factory, so that tests can hand in in-memory streams.
class ISocketFactory {
public:
    virtual ~ISocketFactory() = default;
    virtual std::unique_ptr<IStream> createStream(StreamSecurity security) = 0;
    virtual std::unique_ptr<IDatagramSocket> createDatagramSocket() = 0;
};
