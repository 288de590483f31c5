#pragma once

#include "platform/ISocketFactory.h"
#include "platform/SocketTimeouts.h"

// Makes real sockets with the given limits.
class CSocketFactory : public ISocketFactory {
public:
    explicit CSocketFactory(SocketTimeouts timeouts = {}) : timeouts_(timeouts) {}

    std::unique_ptr<IStream> createStream(StreamSecurity security) override;
    std::unique_ptr<IDatagramSocket> createDatagramSocket() override;
    std::unique_ptr<IStream> startTls(std::unique_ptr<IStream> plain,
                                      const std::string& host) override;

    void setTimeouts(SocketTimeouts timeouts) { timeouts_ = timeouts; }
    const SocketTimeouts& timeouts() const { return timeouts_; }

private:
    SocketTimeouts timeouts_;
};
