#pragma once

#include "platform/ISocketFactory.h"
#include "support/CFakeDatagramSocket.h"
#include "support/CFakeScript.h"

#include <deque>
#include <memory>

// Hands out one scripted stream per connection, in the order the scripts were added, and the
// planned datagram sockets in the same way (none planned: null).
class CFakeSocketFactory : public ISocketFactory {
public:
    std::shared_ptr<CFakeScript> addScript();
    // Every conversation is in memory: the security asked for changes nothing.
    std::unique_ptr<IStream> createStream(StreamSecurity security) override;
    std::unique_ptr<IDatagramSocket> createDatagramSocket() override;
    // Plays the script's TLS step.
    std::unique_ptr<IStream> startTls(std::unique_ptr<IStream> plain,
                                      const std::string& host) override;
    int streamsCreated() const { return created_; }

    // The returned socket stays readable after its user has dropped it.
    std::shared_ptr<CFakeDatagramSocket> addDatagramSocket();
    int datagramSocketsCreated() const { return datagramCreated_; }

private:
    std::deque<std::shared_ptr<CFakeScript>> scripts_;
    int created_ = 0;
    std::deque<std::shared_ptr<CFakeDatagramSocket>> datagramSockets_;
    int datagramCreated_ = 0;
};
