#include "peers/CDovecotPeer.h"
#include "peers/CFreePort.h"
#include "peers/CScopedTrustStore.h"
#include "peers/CSmtpSinkPeer.h"
#include "peers/CTestCertificates.h"
#include "pop3/CMessageDownload.h"
#include "pop3/CPop3Session.h"
#include "send/CSmtpSession.h"
#include "support/CRecordingSocketFactory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace {

const std::string kMessage = "From: Anna <anna@example.org>\nSubject: Hemligt\n\nRad ett.\n"
                             ".en punkt\n" +
                             std::string(50000, 'x') + "\n";

// The message as Dovecot sends it after RETR: CRLF, leading dots doubled, the terminating line.
std::string onTheWire(const std::string& stored) {
    std::string out;
    std::istringstream in(stored);
    for (std::string line; std::getline(in, line);)
        out += (line.starts_with(".") ? "." : "") + line + "\r\n";
    return out + ".\r\n";
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Servers on the well-known TLS ports of a loopback address of the test's own, with
// certificates from an authority the test makes: one for that address, one for another name.
class CTlsPeerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string reason;
        address = CFreePort::pickAddress(CDovecotPeer::kTlsPort, reason);
        if (address.empty())
            GTEST_SKIP() << "TLS ports need an address of their own: " << reason;
        std::string error;
        ASSERT_TRUE(authority.create(error)) << error;
        ASSERT_TRUE(stranger.create(error)) << error;
        ASSERT_TRUE(authority.issue("server", "IP:" + address, server, error)) << error;
        ASSERT_TRUE(authority.issue("elsewhere", "DNS:elsewhere.test", elsewhere, error)) << error;
    }

    // Trusts the test's authority, or one that signed nothing here.
    CScopedTrustStore trust(bool ours) {
        return {(ours ? authority : stranger).authorityFile(), authority.emptyFolder()};
    }

    std::string address;
    CTestCertificates authority, stranger;
    CTestCertificates::Issued server, elsewhere;
};

class CPop3TlsPeerTest : public CTlsPeerTest {
protected:
    void SetUp() override {
        CTlsPeerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(peer.addMessage(kMessage));
        startWith(server);
        session.setHost(address);
        session.setPort(995);
        session.setUser(peer.user());
        session.setPassword(CSecret(peer.password()));
    }
    void startWith(const CTestCertificates::Issued& identity) {
        peer.listenWithTls(address, identity.certificateFile, identity.keyFile);
        std::string error;
        ASSERT_TRUE(peer.start(error)) << error;
    }
    // Dovecot's log lines about connections to the TLS listener, once there are count of them:
    // a line comes when a connection ends, from the log process, maybe a moment later.
    std::vector<std::string> tlsLogLines(std::size_t count) {
        const std::string listener = "lip=" + address + ",";
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        std::vector<std::string> lines;
        for (;;) {
            lines.clear();
            std::istringstream log(peer.log());
            for (std::string line; std::getline(log, line);)
                if (line.find(listener) != std::string::npos)
                    lines.push_back(line);
            if (lines.size() >= count || std::chrono::steady_clock::now() >= deadline)
                return lines;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    CDovecotPeer peer;
    CPop3Session session;
};

TEST_F(CPop3TlsPeerTest, ReadsTheMailboxOverTls) {
    const auto trusted = trust(true);
    ASSERT_TRUE(session.login()) << session.getErrorText() << peer.log();
    ASSERT_TRUE(session.stat());
    EXPECT_EQ(session.getMessageCount(), 1);
    ASSERT_TRUE(session.list());
    ASSERT_TRUE(session.fetchSummary(1));
    EXPECT_EQ(session.messageTable().subjectOf(1), "Hemligt");
    CMessageDownload download(session, nullptr, nullptr);
    ASSERT_TRUE(download.run(1)) << session.getErrorText();
    EXPECT_EQ(fileBytes(download.file()), onTheWire(kMessage));
    ASSERT_TRUE(session.quit());
    // Dovecot confirms that the login came over TLS.
    const auto lines = tlsLogLines(2);
    ASSERT_GE(lines.size(), 1u) << peer.log();
    EXPECT_NE(lines[0].find("Login: user=<tester>"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(", TLS,"), std::string::npos) << lines[0];
}

// A refused certificate ends the connect before the account name is sent. Had the session gone
// on, its USER and PASS would have reached Dovecot's auth, which names the user in the log
// (auth_verbose; the login above shows "user=<tester>"); the log must instead show each TLS
// connection ending in the handshake, without an auth attempt, and no user name anywhere.
TEST_F(CPop3TlsPeerTest, RefusesAnUntrustedOrMisnamedServerBeforeSendingTheAccount) {
    {
        const auto untrusted = trust(false);
        EXPECT_FALSE(session.login());
        EXPECT_EQ(session.getErrorText(),
                  "Kan inte ansluta. Servern har inget betrott certifikat.");
        EXPECT_FALSE(session.isConnected());
    }
    // Dovecot must have logged that connection before it is stopped.
    ASSERT_EQ(tlsLogLines(1).size(), 1u) << peer.log();
    peer.stop();
    startWith(elsewhere);
    {
        const auto trusted = trust(true);
        EXPECT_FALSE(session.login());
        EXPECT_EQ(session.getErrorText(), "Kan inte ansluta. Certifikatet gäller ett annat namn.");
    }
    const auto lines = tlsLogLines(2);
    EXPECT_EQ(lines.size(), 2u) << peer.log();
    for (const std::string& line : lines) {
        EXPECT_NE(line.find("no auth attempts"), std::string::npos) << line;
        EXPECT_NE(line.find("TLS handshaking"), std::string::npos) << line;
    }
    EXPECT_EQ(peer.log().find("tester"), std::string::npos) << peer.log();
}

class CSmtpTlsPeerTest : public CTlsPeerTest {
protected:
    void SetUp() override {
        CTlsPeerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        sink.listenWithTls(address, server.certificateFile, server.keyFile);
        std::string error;
        ASSERT_TRUE(sink.start(error)) << error;
        session.setServer(address);
        session.setPort(465);
        session.setHelo("nada");
        session.setFrom("anna@example.org");
        session.setTo("bo@example.org");
        session.setSubject("Hej");
        session.setBody("Rad ett.\r\n.en punkt");
    }

    CSmtpSinkPeer sink;
    CSmtpSession session;
};

TEST_F(CSmtpTlsPeerTest, SendsAndTestsAnAddressOverTls) {
    const auto trusted = trust(true);
    EXPECT_EQ(session.testAddress("bo@example.org"), 1) << session.getStatusText() << sink.log();
    EXPECT_EQ(session.getStatusText(), "Adressen är giltig.");
    ASSERT_EQ(session.send(), 1) << session.getStatusText() << sink.log();
    EXPECT_EQ(session.getStatusText(), "Brev skickat.");
    ASSERT_TRUE(sink.waitForMessages(1)) << sink.log();
    const auto stored = sink.messages();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].helo, "nada");
    EXPECT_EQ(stored[0].recipients, std::vector<std::string>{"bo@example.org"});
    EXPECT_NE(stored[0].data.find("\r\nSubject: Hej\r\n"), std::string::npos) << stored[0].data;
    EXPECT_TRUE(stored[0].data.ends_with("\r\n\r\nRad ett.\r\n.en punkt\r\n")) << stored[0].data;
}

TEST_F(CSmtpTlsPeerTest, RefusesAnUntrustedServerAndSendsNothing) {
    const auto untrusted = trust(false);
    EXPECT_EQ(session.send(), 0);
    EXPECT_EQ(session.getStatusText(), "Kan inte ansluta. Servern har inget betrott certifikat.");
    EXPECT_EQ(session.testAddress("bo@example.org"), 0);
    EXPECT_EQ(session.getStatusText(), "Kan inte ansluta. Servern har inget betrott certifikat.");
    // Nothing arrives late either.
    EXPECT_FALSE(sink.waitForMessages(1, 300));
    EXPECT_TRUE(sink.messages().empty());
}

// Dovecot offering STLS on its plain port, with a certificate for 127.0.0.1: no root needed.
class CStlsPeerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(authority.create(error)) << error;
        ASSERT_TRUE(stranger.create(error)) << error;
        ASSERT_TRUE(authority.issue("server", "IP:127.0.0.1", server, error)) << error;
        peer.offerStls(server.certificateFile, server.keyFile);
        ASSERT_TRUE(peer.addMessage(kMessage));
        ASSERT_TRUE(peer.start(error)) << error;
        session.setSocketFactory(&sockets);
        session.setHost(peer.host());
        session.setPort(peer.port());
        session.setUser(peer.user());
        session.setPassword(CSecret(peer.password()));
    }
    CScopedTrustStore trust(const CTestCertificates& which) {
        return {which.authorityFile(), authority.emptyFolder()};
    }
    // Dovecot's line about the login, once it is there.
    std::string loginLine() {
        for (int i = 0; i < 250; ++i) {
            const std::string log = peer.log();
            const std::size_t at = log.find("Login: user=<");
            if (at != std::string::npos)
                return log.substr(at, log.find('\n', at) - at);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return {};
    }

    CTestCertificates authority, stranger;
    CTestCertificates::Issued server;
    CDovecotPeer peer;
    CRecordingSocketFactory sockets;
    CPop3Session session;
};

TEST_F(CStlsPeerTest, TheAccountAndPasswordGoOnlyOverTls) {
    {
        const auto trusted = trust(authority);
        ASSERT_TRUE(session.login()) << session.getErrorText() << peer.log();
        ASSERT_TRUE(session.stat());
        EXPECT_EQ(session.getMessageCount(), 1);
        ASSERT_TRUE(session.quit());
    }
    // On the wire: nothing but CAPA and STLS before TLS started.
    const auto& sent = sockets.sent();
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(
        std::vector<std::string>(sent.begin(), sent.begin() + 3),
        (std::vector<std::string>{"CAPA\r\n", "STLS\r\n", CRecordingSocketFactory::kTlsStarted}));
    EXPECT_EQ(sockets.count("PASS"), 1);
    // And Dovecot saw the login over TLS.
    const std::string line = loginLine();
    EXPECT_NE(line.find("user=<tester>"), std::string::npos) << peer.log();
    EXPECT_NE(line.find(", TLS"), std::string::npos) << line;

    // A server the trust store does not vouch for learns neither account nor password.
    sockets.clear();
    const auto untrusted = trust(stranger);
    EXPECT_FALSE(session.login());
    EXPECT_EQ(session.getErrorText(), "Kan inte ansluta. Servern har inget betrott certifikat.");
    EXPECT_EQ(sockets.sent(), (std::vector<std::string>{"CAPA\r\n", "STLS\r\n",
                                                        CRecordingSocketFactory::kTlsStarted}));
}

} // namespace
