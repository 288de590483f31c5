#include "tests/peers/CDovecotPeer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Just enough POP3 over a blocking loopback socket to check the peer from the outside.
class RawPop3 {
public:
    explicit RawPop3(int port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        timeval timeout{5, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
            greeting = line();
    }
    ~RawPop3() { ::close(fd_); }

    // Sends one command, returns the status line without CRLF.
    std::string command(const std::string& text) {
        const std::string wire = text + "\r\n";
        ::send(fd_, wire.data(), wire.size(), MSG_NOSIGNAL);
        return line();
    }
    // The lines of a multi-line reply as sent (CRLF, dot-stuffed), without the final ".".
    std::string body() {
        std::string all;
        for (std::string l = line(); l != "." && l != "<eof>"; l = line())
            all += l + "\r\n";
        return all;
    }
    bool login(const std::string& user, const std::string& password) {
        return command("USER " + user).starts_with("+OK") &&
               command("PASS " + password).starts_with("+OK");
    }

    std::string greeting;

private:
    std::string line() {
        size_t end;
        while ((end = buffer_.find("\r\n")) == std::string::npos) {
            char chunk[4096];
            ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
            if (n <= 0)
                return "<eof>";
            buffer_.append(chunk, static_cast<size_t>(n));
        }
        std::string l = buffer_.substr(0, end);
        buffer_.erase(0, end + 2);
        return l;
    }

    int fd_ = -1;
    std::string buffer_;
};

std::string crlf(const std::string& lf) {
    std::string out;
    for (char c : lf)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

} // namespace

TEST(CDovecotPeerTest, ServesAddedMessagesAndDeletesOnQuit) {
    CDovecotPeer peer;
    std::string error;
    ASSERT_TRUE(peer.start(error)) << error;

    const std::string first = "From: a@example.org\nSubject: first\n\nHello\n.hidden\nBye\n";
    const std::string second = "Subject: second\n\nTwo\n";
    ASSERT_TRUE(peer.addMessage(first));
    ASSERT_TRUE(peer.addMessage(second));
    const size_t size1 = crlf(first).size(), size2 = crlf(second).size();

    {
        RawPop3 wrong(peer.port());
        ASSERT_TRUE(wrong.greeting.starts_with("+OK")) << peer.log();
        EXPECT_TRUE(wrong.command("USER " + peer.user()).starts_with("+OK"));
        EXPECT_TRUE(wrong.command("PASS nope").starts_with("-ERR"));
    }

    RawPop3 pop(peer.port());
    ASSERT_TRUE(pop.login(peer.user(), peer.password())) << peer.log();
    EXPECT_EQ(pop.command("STAT"), "+OK 2 " + std::to_string(size1 + size2));
    ASSERT_TRUE(pop.command("LIST").starts_with("+OK"));
    EXPECT_EQ(pop.body(), "1 " + std::to_string(size1) + "\r\n2 " + std::to_string(size2) + "\r\n");
    ASSERT_TRUE(pop.command("RETR 1").starts_with("+OK"));
    EXPECT_EQ(pop.body(),
              "From: a@example.org\r\nSubject: first\r\n\r\nHello\r\n..hidden\r\nBye\r\n");
    ASSERT_TRUE(pop.command("TOP 2 0").starts_with("+OK"));
    EXPECT_EQ(pop.body(), "Subject: second\r\n\r\n");
    EXPECT_TRUE(pop.command("DELE 1").starts_with("+OK"));
    EXPECT_TRUE(pop.command("QUIT").starts_with("+OK"));
    EXPECT_EQ(peer.messagesOnDisk(), 1);

    const int port = peer.port();
    peer.stop();
    RawPop3 gone(port);
    EXPECT_EQ(gone.greeting, "");
}

TEST(CDovecotPeerTest, TwoPeersRunSideBySideAndNumberInOrderOfAdding) {
    CDovecotPeer a, b;
    std::string error;
    ASSERT_TRUE(a.start(error)) << error;
    ASSERT_TRUE(b.start(error)) << error;
    EXPECT_NE(a.port(), b.port());

    // More than nine, so an order by name that is not by number would show.
    for (int i = 1; i <= 12; ++i)
        ASSERT_TRUE(a.addMessage("Subject: m" + std::to_string(i) + "\n\nx\n"));
    ASSERT_TRUE(b.addMessage("Subject: only\n\ny\n"));

    RawPop3 popA(a.port()), popB(b.port());
    ASSERT_TRUE(popA.login(a.user(), a.password())) << a.log();
    ASSERT_TRUE(popB.login(b.user(), b.password())) << b.log();
    EXPECT_TRUE(popB.command("STAT").starts_with("+OK 1 "));
    for (int i = 1; i <= 12; ++i) {
        ASSERT_TRUE(popA.command("TOP " + std::to_string(i) + " 0").starts_with("+OK"));
        EXPECT_EQ(popA.body(), "Subject: m" + std::to_string(i) + "\r\n\r\n");
    }
}

TEST(CDovecotPeerTest, StartFailsPromptlyWithTheLogWhenDovecotRefusesToRun) {
    CDovecotPeer peer;
    peer.addConfig("no_such_setting = yes");
    std::string error;
    const auto began = std::chrono::steady_clock::now();
    EXPECT_FALSE(peer.start(error));
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(5));
    EXPECT_NE(error.find("no_such_setting"), std::string::npos) << error;
}
