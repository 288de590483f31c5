#include "support/CFakeSocketFactory.h"

#include "support/CFakeStream.h"

std::shared_ptr<CFakeScript> CFakeSocketFactory::addScript() {
    scripts_.push_back(std::make_shared<CFakeScript>());
    return scripts_.back();
}

std::unique_ptr<IStream> CFakeSocketFactory::createStream() {
    ++created_;
    if (scripts_.empty())
        addScript()->refuseConnect(); // no conversation planned: the connection is refused
    auto script = scripts_.front();
    scripts_.pop_front();
    return std::make_unique<CFakeStream>(script);
}
