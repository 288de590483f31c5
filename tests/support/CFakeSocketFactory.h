#pragma once

#include "platform/ISocketFactory.h"
#include "support/CFakeScript.h"

#include <deque>
#include <memory>

// Hands out one scripted stream per connection, in the order the scripts were added.
class CFakeSocketFactory : public ISocketFactory {
public:
    std::shared_ptr<CFakeScript> addScript();
    std::unique_ptr<IStream> createStream() override;
    std::unique_ptr<IDatagramSocket> createDatagramSocket() override { return nullptr; }
    int streamsCreated() const { return created_; }

private:
    std::deque<std::shared_ptr<CFakeScript>> scripts_;
    int created_ = 0;
};
