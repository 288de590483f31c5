#include "platform/CSocketFactory.h"

#include "platform/CTcpStream.h"
#include "platform/CTlsStream.h"
#include "platform/CUdpSocket.h"

std::unique_ptr<IStream> CSocketFactory::createStream(StreamSecurity security) {
    if (security == StreamSecurity::Tls)
        return std::make_unique<CTlsStream>(timeouts_);
    return std::make_unique<CTcpStream>(timeouts_);
}

std::unique_ptr<IDatagramSocket> CSocketFactory::createDatagramSocket() {
    return std::make_unique<CUdpSocket>(timeouts_.datagramMs);
}

std::unique_ptr<IStream> CSocketFactory::startTls(std::unique_ptr<IStream> plain,
                                                  const std::string& host) {
    // Only a plain TCP stream of this factory can go on as TLS.
    auto* tcp = dynamic_cast<CTcpStream*>(plain.get());
    if (!tcp)
        return nullptr;
    auto tls = std::make_unique<CTlsStream>(timeouts_);
    tls->startOn(*tcp, host);
    return tls;
}
