#include "platform/CTcpStream.h"

#include "platform/CAddressResolver.h"
#include "platform/CPollWait.h"
#include "platform/CWaitHook.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace {

std::string describe(IoStatus s, const char* timedOut) {
    if (s == IoStatus::TimedOut)
        return timedOut;
    return s == IoStatus::Cancelled ? "cancelled" : std::strerror(errno);
}

// What the user can act on after connect() failed with err.
ConnectFailure failureOf(int err) {
    switch (err) {
    case ECONNREFUSED:
        return ConnectFailure::Refused;
    case ETIMEDOUT:
        return ConnectFailure::TimedOut;
    case ENETUNREACH:
    case EHOSTUNREACH:
    case ENETDOWN:
    case EHOSTDOWN:
        return ConnectFailure::Unreachable;
    default:
        return ConnectFailure::Unspecified;
    }
}

} // namespace

CTcpStream::~CTcpStream() {
    close();
}

void CTcpStream::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    ahead_.clear();
}

void CTcpStream::adopt(CTcpStream& other) {
    if (&other == this)
        return;
    close();
    fd_ = std::exchange(other.fd_, -1);
    ahead_ = std::move(other.ahead_);
    other.ahead_.clear();
}

bool CTcpStream::connect(const std::string& host, int port) {
    return connectUntil(host, port, CClock::after(timeouts_.connectMs));
}

bool CTcpStream::send(std::string_view bytes) {
    // A fast transfer never waits in poll(); the window must still paint and take its Avbryt.
    CWaitHook::runIfDue();
    return sendUntil(bytes, CClock::after(timeouts_.receiveMs));
}

IoResult CTcpStream::receive(char* into, std::size_t max) {
    CWaitHook::runIfDue();
    return receiveUntil(into, max, CClock::after(timeouts_.receiveMs));
}

bool CTcpStream::connectUntil(const std::string& host, int port, CClock::TimePoint deadline) {
    close();
    connectFailure_ = ConnectFailure::Unspecified;
    std::vector<ResolvedAddress> addresses;
    if (!CAddressResolver::resolve(host, port, SOCK_STREAM, deadline, addresses, lastError_,
                                   &connectFailure_))
        return false;

    for (const auto& a : addresses) {
        int fd = ::socket(a.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            lastError_ = std::strerror(errno);
            continue;
        }
        int rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&a.address), a.length);
        if (rc != 0 && errno == EINPROGRESS) {
            IoStatus s = CPollWait::wait(fd, POLLOUT, deadline);
            if (s == IoStatus::TimedOut || s == IoStatus::Cancelled) {
                ::close(fd);
                const bool timedOut = s == IoStatus::TimedOut;
                lastError_ = timedOut ? "connection timed out" : "cancelled";
                connectFailure_ = timedOut ? ConnectFailure::TimedOut : ConnectFailure::Cancelled;
                return false;
            }
            int err = 0;
            socklen_t len = sizeof err;
            if (s != IoStatus::Ok || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0)
                err = errno ? errno : EIO;
            rc = err == 0 ? 0 : -1;
            errno = err;
        }
        if (rc == 0) {
            int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            fd_ = fd;
            acknowledgeAtOnce();
            connectFailure_ = ConnectFailure::Unspecified;
            return true;
        }
        lastError_ = std::strerror(errno);
        // The last address tried names the reason.
        connectFailure_ = failureOf(errno);
        ::close(fd);
    }
    return false;
}

bool CTcpStream::sendUntil(std::string_view bytes, CClock::TimePoint deadline) {
    sendStatus_ = IoStatus::Failed;
    if (fd_ < 0) {
        lastError_ = "not connected";
        return false;
    }
    while (!bytes.empty()) {
        ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            IoStatus s = CPollWait::wait(fd_, POLLOUT, deadline);
            if (s == IoStatus::Ok)
                continue;
            lastError_ = describe(s, "send timed out");
            sendStatus_ = s;
            return false;
        }
        lastError_ = std::strerror(errno);
        return false;
    }
    sendStatus_ = IoStatus::Ok;
    return true;
}

IoResult CTcpStream::receiveUntil(char* into, std::size_t max, CClock::TimePoint deadline) {
    if (fd_ < 0) {
        lastError_ = "not connected";
        return {0, IoStatus::Failed};
    }
    if (max == 0)
        return {0, IoStatus::Ok};
    if (!ahead_.empty())
        return {ahead_.take(into, max), IoStatus::Ok};
    acknowledgeAtOnce();
    for (;;) {
        ssize_t n = ::recv(fd_, into, max, 0);
        if (n > 0)
            return {static_cast<std::size_t>(n), IoStatus::Ok};
        if (n == 0) {
            lastError_ = "connection closed by the server";
            return {0, IoStatus::Closed};
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            lastError_ = std::strerror(errno);
            return {0, errno == ECONNRESET ? IoStatus::Closed : IoStatus::Failed};
        }
        IoStatus s = CPollWait::wait(fd_, POLLIN, deadline);
        if (s != IoStatus::Ok) {
            lastError_ = describe(s, "receive timed out");
            return {0, s};
        }
    }
}

void CTcpStream::acknowledgeAtOnce() {
#ifdef TCP_QUICKACK
    // A delayed acknowledgement of the server's last answer would meet its Nagle algorithm,
    // which holds the next answer back until then (about 40 ms). The system clears this after
    // a while, so it is set again before each wait for an answer.
    int one = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
#endif
}

IoResult CTcpStream::receiveAvailable(char* into, std::size_t max) {
    for (;;) {
        const ssize_t n = ::recv(fd_, into, max, MSG_DONTWAIT);
        if (n > 0)
            return {static_cast<std::size_t>(n), IoStatus::Ok};
        if (n == 0)
            return {0, IoStatus::Closed};
        if (errno == EINTR)
            continue;
        return {0, errno == EAGAIN || errno == EWOULDBLOCK ? IoStatus::Ok : IoStatus::Failed};
    }
}

bool CTcpStream::hasArrived() {
    int waiting = 0;
    return !ahead_.empty() || (fd_ >= 0 && ::ioctl(fd_, FIONREAD, &waiting) == 0 && waiting > 0);
}

void CTcpStream::awaitData(std::size_t want, const std::function<bool(std::string_view)>& holdsEnd,
                           int maxMs) {
    if (fd_ < 0)
        return;
    ahead_.gather(fd_, want, holdsEnd, maxMs, [&](CReadAhead& ahead) {
        // A full receive's worth is left with the system, so that the receive is its one copy.
        int waiting = 0;
        if (ahead.empty() && ::ioctl(fd_, FIONREAD, &waiting) == 0 &&
            static_cast<std::size_t>(waiting) >= want)
            return false;
        while (ahead.size() < want) {
            const std::size_t room = want - ahead.size();
            const IoResult r = receiveAvailable(ahead.room(room), room);
            if (r.status != IoStatus::Ok)
                return false;
            if (r.count == 0)
                return true;
            ahead.commit(r.count);
        }
        return true;
    });
}
