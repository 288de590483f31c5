#include "tests/peers/CFreePort.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

int CFreePort::pick(const std::string& address) {
    sockaddr_storage storage{};
    socklen_t length = 0;
    auto* v4 = reinterpret_cast<sockaddr_in*>(&storage);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&storage);
    if (::inet_pton(AF_INET, address.c_str(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        length = sizeof(sockaddr_in);
    } else if (::inet_pton(AF_INET6, address.c_str(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        length = sizeof(sockaddr_in6);
    } else {
        return -1;
    }

    int fd = ::socket(storage.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    int port = -1;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&storage), length) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&storage), &length) == 0)
        port = ntohs(storage.ss_family == AF_INET ? v4->sin_port : v6->sin6_port);
    ::close(fd);
    return port;
}

std::string CFreePort::pickAddress(int port, std::string& reason) {
    // Random, so that parallel runs rarely meet; .0 and .255 ends are avoided.
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> second(1, 254), third(0, 255), fourth(1, 254);
    for (int i = 0; i < 32; ++i) {
        const std::string candidate = "127." + std::to_string(second(random)) + "." +
                                      std::to_string(third(random)) + "." +
                                      std::to_string(fourth(random));
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        ::inet_pton(AF_INET, candidate.c_str(), &a.sin_addr);
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            break;
        // As the servers bind: a closed connection's TIME_WAIT does not block them.
        const int one = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        const int error = ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 ? 0 : errno;
        ::close(fd);
        if (error == 0)
            return candidate;
        if (error == EACCES || error == EPERM) {
            reason = "binding port " + std::to_string(port) + " needs root or CAP_NET_BIND_SERVICE";
            return {};
        }
    }
    reason = "no loopback address with a free port " + std::to_string(port) + " found";
    return {};
}
