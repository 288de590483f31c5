#include "platform/CSocketFactory.h"
#include "platform/CWaitHook.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// A loopback listener whose accepted connection the test drives by hand.
class CLoopbackListener {
public:
    explicit CLoopbackListener(int family = AF_INET, int type = SOCK_STREAM) {
        fd = ::socket(family, type, 0);
        sockaddr_storage ss{};
        socklen_t len;
        if (family == AF_INET) {
            auto* a = reinterpret_cast<sockaddr_in*>(&ss);
            a->sin_family = AF_INET;
            a->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            len = sizeof *a;
        } else {
            auto* a = reinterpret_cast<sockaddr_in6*>(&ss);
            a->sin6_family = AF_INET6;
            a->sin6_addr = in6addr_loopback;
            len = sizeof *a;
        }
        ok = ::bind(fd, reinterpret_cast<sockaddr*>(&ss), len) == 0 &&
             (type != SOCK_STREAM || ::listen(fd, 4) == 0) &&
             ::getsockname(fd, reinterpret_cast<sockaddr*>(&ss), &len) == 0;
        port = ntohs(family == AF_INET ? reinterpret_cast<sockaddr_in*>(&ss)->sin_port
                                       : reinterpret_cast<sockaddr_in6*>(&ss)->sin6_port);
    }
    ~CLoopbackListener() {
        if (peer >= 0)
            ::close(peer);
        ::close(fd);
    }
    void accept() { peer = ::accept(fd, nullptr, nullptr); }
    void closePeer() {
        ::close(peer);
        peer = -1;
    }

    int fd = -1;
    int peer = -1;
    int port = 0;
    bool ok = false;
};

struct HookCounter {
    HookCounter() {
        CWaitHook::set([this] { ++calls; });
    }
    ~HookCounter() { CWaitHook::set(nullptr); }
    int calls = 0;
};

} // namespace

TEST(CTcpStream, ExchangesBytesByAddressAndByName) {
    for (const char* host : {"127.0.0.1", "localhost"}) {
        SCOPED_TRACE(host);
        CLoopbackListener server;
        ASSERT_TRUE(server.ok);
        CSocketFactory factory;
        auto stream = factory.createStream(StreamSecurity::Plain);
        ASSERT_TRUE(stream->connect(host, server.port)) << stream->lastError();
        server.accept();
        ASSERT_TRUE(stream->send("USER x\r\n"));
        char buf[64];
        ASSERT_EQ(::recv(server.peer, buf, sizeof buf, 0), 8);
        EXPECT_FALSE(stream->hasArrived());
        ASSERT_EQ(::send(server.peer, "+OK\r\n", 5, 0), 5);
        IoResult r = stream->receive(buf, 2);
        EXPECT_EQ(r.status, IoStatus::Ok);
        EXPECT_EQ(std::string(buf, r.count), "+O");
        EXPECT_TRUE(stream->hasArrived()); // the rest, without waiting for it
        server.closePeer();
        r = stream->receive(buf, sizeof buf);
        EXPECT_EQ(std::string(buf, r.count), "K\r\n");
        EXPECT_FALSE(stream->hasArrived()); // an ended connection is no bytes
        EXPECT_EQ(stream->receive(buf, sizeof buf).status, IoStatus::Closed);
    }
}

TEST(CTcpStream, ConnectsOverIpv6) {
    CLoopbackListener server(AF_INET6);
    if (!server.ok)
        GTEST_SKIP() << "no IPv6 loopback here";
    CSocketFactory factory;
    auto stream = factory.createStream(StreamSecurity::Plain);
    EXPECT_TRUE(stream->connect("::1", server.port)) << stream->lastError();
}

TEST(CTcpStream, ConnectFailsCleanly) {
    int port;
    {
        CLoopbackListener gone;
        port = gone.port;
    }
    CSocketFactory factory;
    auto stream = factory.createStream(StreamSecurity::Plain);
    EXPECT_FALSE(stream->connect("127.0.0.1", port));
    EXPECT_FALSE(stream->isOpen());
    EXPECT_FALSE(stream->connect("", 110));
    EXPECT_FALSE(stream->connect("name.invalid", 110));
    EXPECT_FALSE(stream->send("x"));
    char c;
    EXPECT_EQ(stream->receive(&c, 1).status, IoStatus::Failed);
}

TEST(CTcpStream, ASilentServerTimesOutWhileTheHookRuns) {
    CLoopbackListener server;
    CSocketFactory factory({15000, 300, 5000});
    auto stream = factory.createStream(StreamSecurity::Plain);
    ASSERT_TRUE(stream->connect("127.0.0.1", server.port));
    server.accept();
    HookCounter hook;
    char c;
    auto start = std::chrono::steady_clock::now();
    IoResult r = stream->receive(&c, 1);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::steady_clock::now() - start)
                  .count();
    EXPECT_EQ(r.status, IoStatus::TimedOut);
    EXPECT_GE(ms, 290);
    EXPECT_LT(ms, 2000);
    EXPECT_GE(hook.calls, 4); // at least every 50 ms
}

TEST(CUdpSocket, OneDatagramOutOneIn) {
    CLoopbackListener server(AF_INET, SOCK_DGRAM);
    ASSERT_TRUE(server.ok);
    CSocketFactory factory({15000, 60000, 300});
    auto socket = factory.createDatagramSocket();
    ASSERT_TRUE(socket->sendTo("127.0.0.1", server.port, std::string("q\0q", 3)));
    char buf[16];
    sockaddr_storage from{};
    socklen_t len = sizeof from;
    ASSERT_EQ(::recvfrom(server.fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len),
              3);
    ASSERT_EQ(::sendto(server.fd, "answer-longer", 13, 0, reinterpret_cast<sockaddr*>(&from), len),
              13);
    IoResult r = socket->receive(buf, 6); // cut at the limit
    EXPECT_EQ(r.status, IoStatus::Ok);
    EXPECT_EQ(std::string(buf, r.count), "answer");
    EXPECT_EQ(socket->receive(buf, sizeof buf).status, IoStatus::TimedOut);
}
