#include "support/CLoopbackServer.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

CLoopbackServer::CLoopbackServer(std::function<void(CLoopbackServer&)> play) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int small = 4096; // the accepted connection inherits it
    ::setsockopt(listener_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&a), len) == 0 &&
        ::listen(listener_, 1) == 0 &&
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port_ = ntohs(a.sin_port);
    thread_ = std::thread([this, play = std::move(play)] {
        if (ready(listener_, POLLIN) && (peer_ = ::accept(listener_, nullptr, nullptr)) >= 0)
            play(*this);
    });
}

CLoopbackServer::~CLoopbackServer() {
    stopping_ = true;
    thread_.join();
    if (peer_ >= 0)
        ::close(peer_);
    ::close(listener_);
}

bool CLoopbackServer::ready(int fd, short events) {
    pollfd p{fd, events, 0};
    while (!stopping_)
        if (::poll(&p, 1, 5) > 0)
            return true;
    return false;
}

std::string CLoopbackServer::readLine() {
    std::size_t end;
    while ((end = buffered_.find('\n')) == std::string::npos) {
        char chunk[4096];
        const ssize_t n = ready(peer_, POLLIN) ? ::recv(peer_, chunk, sizeof chunk, 0) : 0;
        if (n <= 0)
            return {};
        buffered_.append(chunk, static_cast<std::size_t>(n));
    }
    std::string line = buffered_.substr(0, end + 1);
    buffered_.erase(0, end + 1);
    return line;
}

void CLoopbackServer::send(std::string_view bytes) {
    while (!bytes.empty() && ready(peer_, POLLOUT)) {
        const ssize_t n = ::send(peer_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n <= 0)
            return;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void CLoopbackServer::waitFor(const std::function<bool()>& condition) {
    while (!stopping_ && !condition())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}
