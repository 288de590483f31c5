#include "platform/CSocketLayer.h"

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

bool CSocketLayer::start() {
    if (std::signal(SIGPIPE, SIG_IGN) == SIG_ERR)
        return false;
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}
