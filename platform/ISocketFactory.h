#pragma once

#include "platform/IDatagramSocket.h"
#include "platform/IStream.h"

#include <memory>

// The sessions take their sockets from a factory, so that tests can hand in in-memory streams.
class ISocketFactory {
public:
    virtual ~ISocketFactory() = default;
    virtual std::unique_ptr<IStream> createStream() = 0;
    virtual std::unique_ptr<IDatagramSocket> createDatagramSocket() = 0;
};
