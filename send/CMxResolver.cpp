#include "send/CMxResolver.h"

#include "platform/CSocketFactory.h"
#include "pop3/CCharset.h"
#include "send/CDnsPacket.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr int kDnsPort = 53;
// One datagram of at most this many bytes is read; a longer answer is cut.
constexpr std::size_t kMaxAnswer = 256;

} // namespace

CMxResolver::CMxResolver(ISocketFactory* factory) : factory_(factory) {
    if (!factory_) {
        ownFactory_ = std::make_unique<CSocketFactory>();
        factory_ = ownFactory_.get();
    }
}

CMxResolver::~CMxResolver() = default;

void CMxResolver::setDnsServer(const std::string& server) {
    dnsServer_ = server;
}

int CMxResolver::lookup(const std::string& domain) {
    result_.clear();
    // No server to ask (the domain-only address test with an empty "DNS" setting).
    if (dnsServer_.empty())
        return 1;
    const std::string query = CDnsPacket::buildQuery(domain);
    if (query.empty())
        return 1;
    auto socket = factory_->createDatagramSocket();
    if (!socket || !socket->sendTo(dnsServer_, kDnsPort, query))
        return 1;
    // One answer and no retransmission; the socket gives up after its limit (5 s by default).
    char answer[kMaxAnswer] = {};
    const IoResult got = socket->receive(answer, sizeof answer);
    if (got.status != IoStatus::Ok)
        return 1;
    // A name is bytes on the wire; as text (the status line shows it) it is UTF-8 like any other.
    result_ = CCharset::fromUnknown(
        CDnsPacket::firstExchanger(std::string_view(answer, std::min(got.count, kMaxAnswer))));
    return 1;
}

std::string CMxResolver::getResult() const {
    return result_;
}
