#include "support/CFakeSocketFactory.h"

#include "support/CFakeStream.h"

namespace {

// Hands the calls to a planned socket that the test keeps.
class CSharedDatagramSocket : public IDatagramSocket {
public:
    explicit CSharedDatagramSocket(std::shared_ptr<CFakeDatagramSocket> socket)
        : socket_(std::move(socket)) {}
    bool sendTo(const std::string& host, int port, std::string_view datagram) override {
        return socket_->sendTo(host, port, datagram);
    }
    IoResult receive(char* into, std::size_t max) override { return socket_->receive(into, max); }
    std::string lastError() const override { return socket_->lastError(); }

private:
    std::shared_ptr<CFakeDatagramSocket> socket_;
};

} // namespace

std::shared_ptr<CFakeScript> CFakeSocketFactory::addScript() {
    scripts_.push_back(std::make_shared<CFakeScript>());
    return scripts_.back();
}

std::unique_ptr<IStream> CFakeSocketFactory::createStream(StreamSecurity) {
    ++created_;
    if (scripts_.empty())
        addScript()->refuseConnect(); // no conversation planned: the connection is refused
    auto script = scripts_.front();
    scripts_.pop_front();
    return std::make_unique<CFakeStream>(script);
}

std::unique_ptr<IStream> CFakeSocketFactory::startTls(std::unique_ptr<IStream> plain,
                                                      const std::string&) {
    auto* fake = dynamic_cast<CFakeStream*>(plain.get());
    return fake ? fake->startTls() : nullptr;
}

std::shared_ptr<CFakeDatagramSocket> CFakeSocketFactory::addDatagramSocket() {
    datagramSockets_.push_back(std::make_shared<CFakeDatagramSocket>());
    return datagramSockets_.back();
}

std::unique_ptr<IDatagramSocket> CFakeSocketFactory::createDatagramSocket() {
    ++datagramCreated_;
    if (datagramSockets_.empty())
        return nullptr;
    auto socket = datagramSockets_.front();
    datagramSockets_.pop_front();
    return std::make_unique<CSharedDatagramSocket>(std::move(socket));
}
