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
