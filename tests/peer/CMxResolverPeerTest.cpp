#include "platform/CSocketFactory.h"
#include "send/CMxResolver.h"
#include "tests/peers/CDnsmasqPeer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// One resolver per lookup, as the program uses it; null factory: real sockets, 5 s limit.
std::string lookup(const std::string& server, const std::string& domain,
                   ISocketFactory* factory = nullptr) {
    CMxResolver resolver(factory);
    resolver.setDnsServer(server);
    EXPECT_EQ(resolver.lookup(domain), 1);
    return resolver.getResult();
}

class CMxResolverPeerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string reason;
        if (!CDnsmasqPeer::available(reason))
            GTEST_SKIP() << "the DNS peer must listen on port 53: " << reason;
    }
};

TEST_F(CMxResolverPeerTest, TakesTheExchangerDnsmasqListsFirst) {
    CDnsmasqPeer dns;
    // dnsmasq lists the records given last first, whatever their preference; the program takes
    // the first listed, so the preference-20 host wins in one domain and loses in the other.
    dns.addMxHost("two.test", "mx10.two.test", 10);
    dns.addMxHost("two.test", "mx20.two.test", 20);
    dns.addMxHost("other.test", "mx20.other.test", 20);
    dns.addMxHost("other.test", "mx10.other.test", 10);
    std::string error;
    ASSERT_TRUE(dns.start(error)) << error;

    EXPECT_EQ(lookup(dns.address(), "two.test"), "mx20.two.test") << dns.log();
    EXPECT_EQ(lookup(dns.address(), "other.test"), "mx10.other.test") << dns.log();
}

TEST_F(CMxResolverPeerTest, DomainWithoutMxGivesEmptyAtOnce) {
    CDnsmasqPeer dns;
    dns.addMxHost("mail.test", "mx.mail.test", 10);
    dns.addHostRecord("plain.test", "127.0.0.9");
    std::string error;
    ASSERT_TRUE(dns.start(error)) << error;

    // No answer records, no such name, and a refusal (a name dnsmasq does not serve): each
    // ends with the answer, well before the 5 s limit.
    for (const char* domain : {"plain.test", "missing.test", "example.org"}) {
        const auto began = Clock::now();
        EXPECT_EQ(lookup(dns.address(), domain), "") << domain;
        EXPECT_LT(Clock::now() - began, 1s) << domain;
    }
    EXPECT_EQ(lookup(dns.address(), "mail.test"), "mx.mail.test") << dns.log();
}

TEST_F(CMxResolverPeerTest, ServerThatDoesNotAnswerGivesEmptyWithinTheLimit) {
    CSocketFactory factory({15000, 60000, 300});
    std::string reason;

    // Nobody there: the port is closed, which may end the wait before the limit.
    const std::string nobody = CDnsmasqPeer::pickAddress(reason);
    ASSERT_FALSE(nobody.empty()) << reason;
    auto began = Clock::now();
    EXPECT_EQ(lookup(nobody, "example.org", &factory), "");
    EXPECT_LT(Clock::now() - began, 2s);

    // A server that takes the query and stays silent: the limit ends the wait.
    const std::string silent = CDnsmasqPeer::pickAddress(reason);
    ASSERT_FALSE(silent.empty()) << reason;
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(53);
    ::inet_pton(AF_INET, silent.c_str(), &address.sin_addr);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    began = Clock::now();
    EXPECT_EQ(lookup(silent, "example.org", &factory), "");
    const auto waited = Clock::now() - began;
    EXPECT_GE(waited, 250ms);
    EXPECT_LT(waited, 2s);
    char query[512];
    EXPECT_EQ(::recv(fd, query, sizeof query, MSG_DONTWAIT), 29) << "the query did not arrive";
    ::close(fd);
}

} // namespace
