#include "platform/CTlsMemory.h"
#include "platform/ISocketFactory.h"
#include "pop3/CPop3Session.h"
#include "send/CSmtpLogin.h"
#include "send/CSmtpSession.h"
#include "support/CFakeSocketFactory.h"
#include "support/CMemorySettingsStore.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A stream whose connect fails for the given reason, and nothing else.
class CRefusedStream : public IStream {
public:
    explicit CRefusedStream(ConnectFailure why) : why_(why) {}
    bool connect(const std::string&, int) override { return false; }
    bool send(std::string_view) override {
        ++sends;
        return false;
    }
    IoResult receive(char*, std::size_t) override { return {0, IoStatus::Failed}; }
    void close() override {}
    bool isOpen() const override { return false; }
    std::string lastError() const override { return "refused"; }
    ConnectFailure connectFailure() const override { return why_; }

    static inline int sends = 0;

private:
    ConnectFailure why_;
};

// Notes the security each connection asked for; every connection is refused.
class CAskingFactory : public ISocketFactory {
public:
    std::unique_ptr<IStream> createStream(StreamSecurity security) override {
        asked.push_back(security);
        return std::make_unique<CRefusedStream>(why);
    }
    std::unique_ptr<IDatagramSocket> createDatagramSocket() override { return nullptr; }

    ConnectFailure why = ConnectFailure::Unspecified;
    std::vector<StreamSecurity> asked;
};

std::string pop3LoginFailure(CAskingFactory& factory, int port) {
    CPop3Session session;
    session.setSocketFactory(&factory);
    session.setHost("pop.example.org");
    session.setPort(port);
    session.setUser("anna");
    session.setPassword(CSecret("hemligt"));
    EXPECT_FALSE(session.login());
    return session.getErrorText();
}

std::string smtpTestFailure(CAskingFactory& factory, int port) {
    CSmtpSession session;
    session.setSocketFactory(&factory);
    session.setServer("smtp.example.org");
    session.setPort(port);
    session.setFrom("anna@example.org");
    EXPECT_EQ(session.testAddress("bo@example.org"), 0);
    return session.getStatusText();
}

} // namespace

TEST(ConnectSecurity, EachSessionSpeaksTlsOnlyOnItsOwnTlsPort) {
    constexpr auto Plain = StreamSecurity::Plain;
    constexpr auto Tls = StreamSecurity::Tls;
    CAskingFactory pop3;
    for (int port : {110, 995, 465, 25, 9950})
        pop3LoginFailure(pop3, port);
    EXPECT_EQ(pop3.asked, (std::vector{Plain, Tls, Plain, Plain, Plain}));

    CAskingFactory smtp;
    for (int port : {25, 465, 587, 995, 4650})
        smtpTestFailure(smtp, port);
    EXPECT_EQ(smtp.asked, (std::vector{Plain, Tls, Plain, Plain, Plain}));
}

// Each session says why a connect failed, naming its own server and port where that is the
// reason; a failure the user cannot act on keeps the bare text.
TEST(ConnectSecurity, AFailedConnectSaysWhy) {
    struct Case {
        ConnectFailure why;
        std::string reason; // "%h" the server, "%p" its port
    };
    const Case cases[] = {
        {ConnectFailure::Unspecified, ""},
        {ConnectFailure::UntrustedCertificate, " Servern har inget betrott certifikat."},
        {ConnectFailure::NameMismatch, " Certifikatet gäller ett annat namn."},
        {ConnectFailure::HandshakeFailed, " TLS-handskakningen misslyckades."},
        {ConnectFailure::Refused, " Servern nekade anslutningen (port %p)."},
        {ConnectFailure::UnknownHost, " Namnet %h finns inte."},
        {ConnectFailure::TimedOut, " Ingen svarade inom 15 s."},
    };
    auto text = [](std::string reason, const std::string& host, int port) {
        if (const auto at = reason.find("%h"); at != std::string::npos)
            reason.replace(at, 2, host);
        if (const auto at = reason.find("%p"); at != std::string::npos)
            reason.replace(at, 2, std::to_string(port));
        return "Kan inte ansluta." + reason;
    };
    CRefusedStream::sends = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        CAskingFactory factory;
        factory.why = c.why;
        EXPECT_EQ(pop3LoginFailure(factory, 995), text(c.reason, "pop.example.org", 995));
        EXPECT_EQ(smtpTestFailure(factory, 465), text(c.reason, "smtp.example.org", 465));
    }
    // The user's own stop is no failure of the server's.
    CAskingFactory stopped;
    stopped.why = ConnectFailure::Cancelled;
    EXPECT_EQ(pop3LoginFailure(stopped, 110), "Avbrutet av användaren.");
    EXPECT_EQ(smtpTestFailure(stopped, 25), "Avbrutet av användaren.");
    EXPECT_EQ(CRefusedStream::sends, 0); // no USER, no HELO after a refused connect
}

// A server that once offered to start TLS, and does not now, may have had its offer taken out on
// the way: neither the account nor any mail goes to it. The offer is seen after a capability
// line of any length.
TEST(ConnectSecurity, AServerThatOfferedTlsBeforeGetsNothingWithoutIt) {
    CMemorySettingsStore store;
    CTlsMemory memory(store);
    CFakeSocketFactory factory;
    const std::string longLine(70 * 1024, 'x');
    auto expectFinished = [](const std::shared_ptr<CFakeScript>& s) {
        EXPECT_TRUE(s->finished()) << s->report();
    };

    CPop3Session pop3;
    pop3.setSocketFactory(&factory);
    pop3.setTlsMemory(&memory);
    pop3.setHost("Pop.Example.org");
    pop3.setPort(110);
    pop3.setUser("anna");
    pop3.setPassword(CSecret("hemligt"));
    auto offered = factory.addScript();
    offered->server("+OK\r\n").client("CAPA\r\n");
    offered->server("+OK\r\nX-" + longLine + "\r\nSTLS\r\n.\r\n").client("STLS\r\n");
    offered->server("+OK\r\n").tls().client("CAPA\r\n").server("+OK\r\n.\r\n");
    offered->client("USER anna\r\n").server("+OK\r\n").client("PASS hemligt\r\n");
    offered->server("+OK\r\n");
    ASSERT_TRUE(pop3.login()) << pop3.getErrorText();
    expectFinished(offered);
    EXPECT_EQ(store.strings[CTlsMemory::kStlsKey], "pop.example.org:110");

    pop3.setHost("pop.example.org");
    auto stripped = factory.addScript();
    stripped->server("+OK\r\n").client("CAPA\r\n").server("+OK\r\nUSER\r\n.\r\n");
    EXPECT_FALSE(pop3.login());
    EXPECT_EQ(pop3.getErrorText(),
              "Kan inte ansluta. Servern erbjöd tidigare kryptering (STLS) men gör det inte nu, "
              "så varken kontonamn eller lösenord skickas. Någon på vägen kan ha tagit bort "
              "erbjudandet.");
    EXPECT_EQ(stripped->sent(), "CAPA\r\n");
    expectFinished(stripped);

    // SMTP on 587 likewise, for STARTTLS after EHLO.
    CSmtpSession smtp;
    smtp.setSocketFactory(&factory);
    smtp.setTlsMemory(&memory);
    smtp.setServer("mail.example");
    smtp.setPort(587);
    smtp.setHelo("nada");
    smtp.setFrom("anna@example.org");
    auto greeted = [&](const std::string& offers) {
        auto s = factory.addScript();
        s->server("220 mail.example\r\n").client("EHLO nada\r\n").server(offers);
        return s;
    };
    auto upgraded = greeted("250-mail.example\r\n250-X" + longLine + "\r\n250 STARTTLS\r\n");
    upgraded->client("STARTTLS\r\n").server("220 go ahead\r\n").tls();
    upgraded->client("EHLO nada\r\n").server("250 mail.example\r\n");
    upgraded->client("MAIL FROM: <anna@example.org>\r\n").server("250 OK\r\n");
    upgraded->client("RCPT TO: <bo@example.org>\r\n").server("250 OK\r\n");
    upgraded->client("QUIT\r\n").server("221 bye\r\n");
    EXPECT_EQ(smtp.testAddress("bo@example.org"), 1) << smtp.getStatusText();
    expectFinished(upgraded);
    EXPECT_EQ(store.strings[CTlsMemory::kStartTlsKey], "mail.example:587");

    stripped = greeted("250-mail.example\r\n250 AUTH PLAIN\r\n");
    EXPECT_EQ(smtp.testAddress("bo@example.org", CSmtpLogin{"anna", "hemligt"}), 0);
    EXPECT_EQ(smtp.getStatusText(),
              "Kan inte ansluta. Servern erbjöd tidigare kryptering (STARTTLS) men gör det inte "
              "nu, så varken inloggning eller brev skickas. Någon på vägen kan ha tagit bort "
              "erbjudandet.");
    EXPECT_EQ(stripped->sent(), "EHLO nada\r\n");
    expectFinished(stripped);
}
