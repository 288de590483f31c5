#include "peers/CScopedTrustStore.h"
#include "peers/CTestCertificates.h"
#include "platform/CSocketFactory.h"
#include "platform/CWaitHook.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <functional>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// One connection on 127.0.0.1, served on a thread: TLS with the given certificate, or plain
// without one, then the test's script. Every server wait is bounded (5 s), so a client that
// misbehaves fails the test rather than hanging it. Results are read after finish().
class CLoopbackServer {
public:
    using Script = std::function<void(SSL* tls, int fd)>;

    CLoopbackServer(const CTestCertificates::Issued* identity, Script script)
        : script_(std::move(script)) {
        if (identity) {
            context_ = SSL_CTX_new(TLS_server_method());
            SSL_CTX_use_certificate_chain_file(context_, identity->certificateFile.c_str());
            SSL_CTX_use_PrivateKey_file(context_, identity->keyFile.c_str(), SSL_FILETYPE_PEM);
        }
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof a;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&a), length) == 0 &&
            ::listen(listener_, 1) == 0 &&
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &length) == 0)
            port = ntohs(a.sin_port);
        thread_ = std::thread([this] { run(); });
    }
    ~CLoopbackServer() {
        finish();
        ::close(listener_);
        SSL_CTX_free(context_);
    }

    void finish() {
        if (thread_.joinable())
            thread_.join();
    }

    int port = -1;
    bool handshook = false;
    std::string plainReceived; // what a plain server was sent

    // Script helpers: read exactly n bytes, or everything until the client goes.
    static std::string readTls(SSL* tls, std::size_t n) {
        std::string out(n, '\0');
        std::size_t done = 0, got = 0;
        while (done < n && SSL_read_ex(tls, out.data() + done, n - done, &got) == 1)
            done += got;
        out.resize(done);
        return out;
    }
    static std::string readPlainUntilClosed(int fd) {
        std::string out;
        char buffer[4096];
        for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;)
            out.append(buffer, static_cast<std::size_t>(n));
        return out;
    }

private:
    void run() {
        pollfd p{listener_, POLLIN, 0};
        if (port < 0 || ::poll(&p, 1, 5000) != 1)
            return;
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            return;
        timeval limit{5, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
        if (!context_) {
            script_(nullptr, fd);
        } else {
            SSL* tls = SSL_new(context_);
            SSL_set_fd(tls, fd);
            handshook = SSL_accept(tls) == 1;
            if (handshook) {
                script_(tls, fd);
                SSL_shutdown(tls);
            }
            SSL_free(tls);
        }
        ::close(fd);
    }

    SSL_CTX* context_ = nullptr;
    int listener_ = -1;
    Script script_;
    std::thread thread_;
};

struct HookCounter {
    HookCounter() {
        CWaitHook::set([this] { ++calls; });
    }
    ~HookCounter() { CWaitHook::set(nullptr); }
    int calls = 0;
};

long long msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class CTlsStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(authority.create(error)) << error;
        ASSERT_TRUE(authority.issue("server", "IP:127.0.0.1,DNS:localhost", server, error))
            << error;
        ASSERT_TRUE(authority.issue("other", "IP:127.0.0.2,DNS:other.test", other, error)) << error;
    }
    std::unique_ptr<IStream> tlsStream(SocketTimeouts timeouts = {}) {
        return CSocketFactory(timeouts).createStream(StreamSecurity::Tls);
    }

    CTestCertificates authority;
    CTestCertificates::Issued server, other;
};

TEST_F(CTlsStreamTest, ExchangesBytesWithATrustedServerByAddressAndByName) {
    const std::string big = [] {
        std::string s;
        for (int i = 0; s.size() < 40000; ++i)
            s += std::to_string(i) + ",";
        return s;
    }();
    const std::string upload(100000, 'u');
    for (const char* host : {"127.0.0.1", "localhost"}) {
        SCOPED_TRACE(host);
        CScopedTrustStore trust(authority.authorityFile(), authority.emptyFolder());
        std::string uploaded;
        CLoopbackServer peer(&server, [&](SSL* tls, int) {
            if (CLoopbackServer::readTls(tls, 8) != "USER x\r\n")
                return;
            // One reply in two records, then a block larger than one record.
            SSL_write(tls, "+O", 2);
            SSL_write(tls, "K\r\n", 3);
            if (CLoopbackServer::readTls(tls, 6) != "NEXT\r\n")
                return;
            SSL_write(tls, big.data(), static_cast<int>(big.size()));
            uploaded = CLoopbackServer::readTls(tls, upload.size());
        });
        auto stream = tlsStream();
        ASSERT_TRUE(stream->connect(host, peer.port)) << stream->lastError();
        EXPECT_TRUE(stream->isOpen());
        // The session tickets the server sends after the handshake are no bytes to read.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_FALSE(stream->hasArrived());
        ASSERT_TRUE(stream->send("USER x\r\n"));

        std::string reply;
        char buffer[1000];
        while (reply.find('\n') == std::string::npos) {
            const IoResult r = stream->receive(buffer, sizeof buffer);
            ASSERT_EQ(r.status, IoStatus::Ok) << stream->lastError();
            reply.append(buffer, r.count);
        }
        EXPECT_EQ(reply, "+OK\r\n");

        ASSERT_TRUE(stream->send("NEXT\r\n"));
        for (int ms = 0; ms < 5000 && !stream->hasArrived(); ++ms)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_TRUE(stream->hasArrived());
        std::string received;
        while (received.size() < big.size()) {
            const IoResult r = stream->receive(buffer, sizeof buffer);
            ASSERT_EQ(r.status, IoStatus::Ok) << stream->lastError();
            ASSERT_LE(r.count, sizeof buffer);
            received.append(buffer, r.count);
        }
        EXPECT_EQ(received, big);
        ASSERT_TRUE(stream->send(upload));
        // The server's close_notify ends the stream like a closed TCP connection.
        EXPECT_EQ(stream->receive(buffer, sizeof buffer).status, IoStatus::Closed);
        stream->close();
        EXPECT_FALSE(stream->isOpen());
        peer.finish();
        EXPECT_TRUE(peer.handshook);
        EXPECT_EQ(uploaded, upload);
    }
}

TEST_F(CTlsStreamTest, ASilentServerTimesOutWhileTheHookRuns) {
    CScopedTrustStore trust(authority.authorityFile(), authority.emptyFolder());
    CLoopbackServer peer(&server, [](SSL* tls, int) { CLoopbackServer::readTls(tls, 1); });
    auto stream = tlsStream({15000, 300, 5000});
    ASSERT_TRUE(stream->connect("127.0.0.1", peer.port)) << stream->lastError();
    HookCounter hook;
    char c;
    const auto start = Clock::now();
    EXPECT_EQ(stream->receive(&c, 1).status, IoStatus::TimedOut);
    const auto ms = msSince(start);
    EXPECT_GE(ms, 290);
    EXPECT_LT(ms, 2000);
    EXPECT_GE(hook.calls, 4); // at least every 50 ms
    stream->close();          // its close_notify lets the server go at once
    peer.finish();
}

TEST_F(CTlsStreamTest, RefusesAServerItCannotTrustAndSaysWhy) {
    CTestCertificates stranger;
    std::string error;
    ASSERT_TRUE(stranger.create(error)) << error;
    struct Case {
        const char* what;
        const CTestCertificates::Issued* identity;
        std::string trusted;
        const char* host;
        ConnectFailure expected;
    };
    const Case cases[] = {
        {"signed by an authority not in the store", &server, stranger.authorityFile(), "127.0.0.1",
         ConnectFailure::UntrustedCertificate},
        {"made out to another address", &other, authority.authorityFile(), "127.0.0.1",
         ConnectFailure::NameMismatch},
        {"made out to another name", &other, authority.authorityFile(), "localhost",
         ConnectFailure::NameMismatch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CScopedTrustStore trust(c.trusted, authority.emptyFolder());
        CLoopbackServer peer(c.identity, [](SSL*, int) {});
        auto stream = tlsStream();
        EXPECT_FALSE(stream->connect(c.host, peer.port));
        EXPECT_EQ(stream->connectFailure(), c.expected) << stream->lastError();
        EXPECT_FALSE(stream->lastError().empty());
        EXPECT_FALSE(stream->isOpen());
        EXPECT_FALSE(stream->send("USER x\r\n"));
        peer.finish();
        EXPECT_FALSE(peer.handshook); // so the server never saw a byte of ours in the clear
    }
}

TEST_F(CTlsStreamTest, APlainServerFailsTheHandshakeWithoutHanging) {
    CScopedTrustStore trust(authority.authorityFile(), authority.emptyFolder());
    {
        SCOPED_TRACE("a server that greets in the clear");
        CLoopbackServer peer(nullptr, [&peer](SSL*, int fd) {
            ::send(fd, "+OK ready\r\n", 11, MSG_NOSIGNAL);
            peer.plainReceived = CLoopbackServer::readPlainUntilClosed(fd);
        });
        auto stream = tlsStream();
        const auto start = Clock::now();
        EXPECT_FALSE(stream->connect("127.0.0.1", peer.port));
        EXPECT_LT(msSince(start), 2000);
        EXPECT_EQ(stream->connectFailure(), ConnectFailure::HandshakeFailed);
        peer.finish();
        // TLS from the first byte: a handshake record, nothing else.
        ASSERT_GE(peer.plainReceived.size(), 3u);
        EXPECT_EQ(peer.plainReceived.substr(0, 2), "\x16\x03");
    }
    {
        SCOPED_TRACE("a server that says nothing");
        CLoopbackServer peer(nullptr,
                             [](SSL*, int fd) { CLoopbackServer::readPlainUntilClosed(fd); });
        auto stream = tlsStream({300, 60000, 5000});
        const auto start = Clock::now();
        EXPECT_FALSE(stream->connect("127.0.0.1", peer.port));
        const auto ms = msSince(start);
        EXPECT_GE(ms, 290);
        EXPECT_LT(ms, 2000);
        EXPECT_EQ(stream->connectFailure(), ConnectFailure::HandshakeFailed);
    }
}

TEST_F(CTlsStreamTest, NoListenerFailsLikeThePlainStream) {
    int port;
    {
        CLoopbackServer gone(nullptr, [](SSL*, int) {});
        port = gone.port;
        // Connect and leave, so the thread ends and the port closes.
        CSocketFactory().createStream(StreamSecurity::Plain)->connect("127.0.0.1", port);
    }
    auto stream = tlsStream();
    EXPECT_FALSE(stream->connect("127.0.0.1", port));
    EXPECT_EQ(stream->connectFailure(), ConnectFailure::Refused);
    EXPECT_FALSE(stream->isOpen());
    EXPECT_FALSE(stream->send("x"));
    char c;
    EXPECT_EQ(stream->receive(&c, 1).status, IoStatus::Failed);
}

} // namespace
