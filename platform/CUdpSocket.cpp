#include "platform/CUdpSocket.h"

#include "platform/CAddressResolver.h"
#include "platform/CPollWait.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

CUdpSocket::~CUdpSocket() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool CUdpSocket::sendTo(const std::string& host, int port, std::string_view datagram) {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    std::vector<ResolvedAddress> addresses;
    if (!CAddressResolver::resolve(host, port, SOCK_DGRAM, CClock::after(receiveMs_), addresses,
                                   lastError_))
        return false;
    const auto& a = addresses.front();
    fd_ = ::socket(a.family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0 || ::connect(fd_, reinterpret_cast<const sockaddr*>(&a.address), a.length) != 0 ||
        ::send(fd_, datagram.data(), datagram.size(), MSG_NOSIGNAL) !=
            static_cast<ssize_t>(datagram.size())) {
        lastError_ = std::strerror(errno);
        return false;
    }
    return true;
}

IoResult CUdpSocket::receive(char* into, std::size_t max) {
    if (fd_ < 0) {
        lastError_ = "nothing was sent";
        return {0, IoStatus::Failed};
    }
    const auto deadline = CClock::after(receiveMs_);
    for (;;) {
        // MSG_TRUNC is not asked for: a longer datagram is cut at max bytes.
        ssize_t n = ::recv(fd_, into, max, 0);
        if (n >= 0)
            return {static_cast<std::size_t>(n), IoStatus::Ok};
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            lastError_ = std::strerror(errno);
            return {0, IoStatus::Failed};
        }
        IoStatus s = CPollWait::wait(fd_, POLLIN, deadline);
        if (s != IoStatus::Ok) {
            lastError_ = s == IoStatus::TimedOut ? "no answer in time" : std::strerror(errno);
            return {0, s};
        }
    }
}
