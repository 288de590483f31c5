#include "send/CSmtpSession.h"

#include "pop3/CPop3Session.h"
#include "resources/CStringTable.h"
#include "send/CSmtpLogin.h"
#include "support/CFakeSocketFactory.h"
#include "support/CFixedStamps.h"
#include "support/CScriptedProgressHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Plays the scripted stream and remembers the size of every send, so a test can tell one send
// of a whole file from a file sent in pieces.
class CCountingStream : public IStream {
public:
    CCountingStream(std::unique_ptr<IStream> inner, std::vector<std::size_t>& sends)
        : inner_(std::move(inner)), sends_(sends) {}
    bool connect(const std::string& host, int port) override { return inner_->connect(host, port); }
    bool send(std::string_view bytes) override {
        sends_.push_back(bytes.size());
        return inner_->send(bytes);
    }
    IoResult receive(char* into, std::size_t max) override { return inner_->receive(into, max); }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }
    std::string lastError() const override { return inner_->lastError(); }
    ConnectFailure connectFailure() const override { return inner_->connectFailure(); }

private:
    std::unique_ptr<IStream> inner_;
    std::vector<std::size_t>& sends_;
};

class CCountingFactory : public ISocketFactory {
public:
    std::unique_ptr<IStream> createStream(StreamSecurity security) override {
        return std::make_unique<CCountingStream>(fake.createStream(security), sends);
    }
    std::unique_ptr<IDatagramSocket> createDatagramSocket() override {
        return fake.createDatagramSocket();
    }

    CFakeSocketFactory fake;
    std::vector<std::size_t> sends;
};

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

const std::string kMime = "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=iso-8859-1\r\n"
                          "Content-Transfer-Encoding: quoted-printable\r\n";

// The header block of a composed message under the fixed stamps, with the empty line after it.
std::string head(const std::string& from, const std::string& to, const std::string& subject = "",
                 const std::string& mime = "") {
    std::string h = CFixedStamps::start() + "From: " + from + "\r\nTo: " + to + "\r\n";
    if (!subject.empty())
        h += "Subject: " + subject + "\r\n";
    return h + "Message-ID: <1@example.org>\r\n" + mime + "\r\n";
}

// The fixture's message: "Hej!" from anna to bo.
std::string hej() {
    return head("anna@example.org", "bo@example.org") + "Hej!\r\n.\r\n";
}

// A retrieved message as the POP3 session leaves it: CRLF, a stuffed line, the terminating line.
std::string retrievedMessage(std::size_t length) {
    const std::string head = "From: Bo <bo@example.org>\r\nSubject: Stort\r\n\r\n..en punkt\r\n";
    const std::string tail = "\r\n.\r\n";
    return head + std::string(length - head.size() - tail.size(), 'x') + tail;
}

class CSmtpSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        session.setSocketFactory(&factory);
        session.setProgressHost(&progress);
        session.setMessageStamps(&stamps);
        session.setServer("mail.example");
        session.setPort(25);
        session.setHelo("nada");
        session.setFrom("anna@example.org");
        session.setTo("bo@example.org");
        session.setBody("Hej!");
    }
    void TearDown() override {
        for (const auto& s : scripts)
            EXPECT_TRUE(s->finished()) << s->report();
    }

    // A connection whose whole script the test must use.
    std::shared_ptr<CFakeScript> conversation() {
        scripts.push_back(factory.fake.addScript());
        return scripts.back();
    }
    // Greeting, HELO, MAIL FROM and RCPT TO all accepted.
    std::shared_ptr<CFakeScript> acceptedUpToRcpt(const std::string& greeting = "220 ready\r\n") {
        auto s = conversation();
        s->server(greeting)
            .client("HELO nada\r\n")
            .server("250 mail.example\r\n")
            .client("MAIL FROM: <anna@example.org>\r\n")
            .server("250 OK\r\n")
            .client("RCPT TO:<bo@example.org>\r\n")
            .server("250 OK\r\n");
        return s;
    }
    std::shared_ptr<CFakeScript> acceptedUpToData() {
        auto s = acceptedUpToRcpt();
        s->client("DATA\r\n").server("354 go ahead\r\n");
        return s;
    }
    void endsWithQuit(CFakeScript& s, const std::string& endReply = "250 OK queued\r\n") {
        s.server(endReply).client("QUIT\r\n").server("221 bye\r\n");
    }

    CCountingFactory factory;
    std::vector<std::shared_ptr<CFakeScript>> scripts;
    CScriptedProgressHost progress;
    CFixedStamps stamps;
    CSmtpSession session;
    const std::string tempFile = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/forwarded";
};

TEST_F(CSmtpSessionTest, DisplayNamesGoToTheHeadersAndBareAddressesToTheEnvelope) {
    session.setFrom("Anna A <anna@example.org>");
    session.setTo("Bo B <bo@example.org>");
    session.setSubject("Hej");
    auto s = acceptedUpToData();
    s->client(head("Anna A <anna@example.org>", "Bo B <bo@example.org>", "Hej") + "Hej!\r\n.\r\n");
    endsWithQuit(*s);
    EXPECT_EQ(session.send(), 1);
    EXPECT_EQ(session.getStatusText(), "Brev skickat.");

    // The fields were rewritten to the bare addresses, which the From and To lines then hold.
    session.setSubject("");
    auto again = acceptedUpToData();
    again->client(hej());
    endsWithQuit(*again);
    EXPECT_EQ(session.send(), 1);
}

TEST_F(CSmtpSessionTest, AMultiLineGreetingIsReadOneReceiveAtATime) {
    // Arriving in one receive, the whole greeting passes.
    auto s = acceptedUpToRcpt("220-mail.example welcome\r\n220 ready\r\n");
    s->client("DATA\r\n").server("354 go\r\n").client(hej());
    endsWithQuit(*s);
    EXPECT_EQ(session.send(), 1);

    // Arriving in two, its last line is taken for the answer to HELO.
    conversation()
        ->server("220-mail.example welcome\r\n")
        .client("HELO nada\r\n")
        .server("220 ready\r\n");
    EXPECT_EQ(session.send(), 0);
    EXPECT_EQ(session.getStatusText(), "mail.example: HELO: 220 ready\r\n");
}

TEST_F(CSmtpSessionTest, SendTriesTheQuotedSenderButTheAddressTestDoesNot) {
    auto s = conversation();
    s->server("220 mail.example\r\n")
        .client("HELO nada\r\n")
        .server("250 mail.example\r\n")
        .client("MAIL FROM: <anna@example.org>\r\n")
        .server("501 5.1.7 Bad sender address syntax\r\n")
        .client("MAIL FROM: \"anna@example.org\"\r\n")
        .server("250 OK\r\n")
        .client("RCPT TO:<bo@example.org>\r\n")
        .server("250 OK\r\n")
        .client("DATA\r\n")
        .server("354 go\r\n")
        .client(hej());
    endsWithQuit(*s);
    EXPECT_EQ(session.send(), 1);
    EXPECT_EQ(session.getStatusText(), "Brev skickat.");

    conversation()
        ->server("220 mail.example\r\n")
        .client("HELO nada\r\n")
        .server("250 mail.example\r\n")
        .client("MAIL FROM: <anna@example.org>\r\n")
        .server("501 5.1.7 Bad sender address syntax\r\n");
    EXPECT_EQ(session.testAddress("bo@example.org"), 0);
    EXPECT_EQ(session.getStatusText(),
              "mail.example: MAIL FROM: 501 5.1.7 Bad sender address syntax\r\n");

    // Both forms refused: the second refusal is what the user sees.
    conversation()
        ->server("220 mail.example\r\n")
        .client("HELO nada\r\n")
        .server("250 mail.example\r\n")
        .client("MAIL FROM: <anna@example.org>\r\n")
        .server("501 first\r\n")
        .client("MAIL FROM: \"anna@example.org\"\r\n")
        .server("553 second\r\n");
    EXPECT_EQ(session.send(), 0);
    EXPECT_EQ(session.getStatusText(), "mail.example: MAIL FROM: 553 second\r\n");
}

TEST_F(CSmtpSessionTest, RefusalsCarryTheServerLabelAndWholeReply) {
    // RCPT TO refused: no DATA and no QUIT follow.
    conversation()
        ->server("220 mail.example\r\n")
        .client("HELO nada\r\n")
        .server("250 mail.example\r\n")
        .client("MAIL FROM: <anna@example.org>\r\n")
        .server("250 OK\r\n")
        .client("RCPT TO:<bo@example.org>\r\n")
        .server("550 5.1.1 <bo@example.org>: Recipient address rejected\r\n");
    EXPECT_EQ(session.send(), 0);
    EXPECT_EQ(session.getStatusText(),
              "mail.example: RCPT TO: 550 5.1.1 <bo@example.org>: Recipient address rejected\r\n");

    conversation()->server("554 no service\r\n");
    EXPECT_EQ(session.send(), 0);
    EXPECT_EQ(session.getStatusText(), "Ett fel uppstod vid anslutning till server.");

    // A long reply reaches the status text whole.
    const std::string longReply = "550 " + std::string(500, 'n') + "\r\n";
    conversation()->server("220 mail.example\r\n").client("HELO nada\r\n").server(longReply);
    EXPECT_EQ(session.send(), 0);
    EXPECT_EQ(session.getStatusText(), "mail.example: HELO: " + longReply);
}

TEST_F(CSmtpSessionTest, AReplyCodeSplitOverTwoReceivesIsRefused) {
    // Only "2" is read for HELO; the rest of the line stays unread.
    auto s = factory.fake.addScript();
    s->server("220 mail.example\r\n").client("HELO nada\r\n").server("2").server("50 OK\r\n");
    EXPECT_EQ(session.send(), 0);
    EXPECT_EQ(session.getStatusText(), "mail.example: HELO: 2");
    EXPECT_NE(s->report().find("left: server '50 OK\r\n'"), std::string::npos) << s->report();
}

TEST_F(CSmtpSessionTest, ARefusalOfDataOrOfTheMessageFailsTheSend) {
    // DATA refused: none of the message's lines reach the server, to be read as commands.
    acceptedUpToRcpt()->client("DATA\r\n").server("554 no thanks\r\n");
    EXPECT_EQ(session.send(), 0);
    EXPECT_EQ(session.getStatusText(), "mail.example: DATA: 554 no thanks\r\n");

    // The message refused at its end: no QUIT, and the reply is what the user sees.
    acceptedUpToData()->client(hej()).server("554 5.7.1 rejected\r\n");
    EXPECT_EQ(session.send(), 0);
    EXPECT_EQ(session.getStatusText(), "mail.example: DATA: 554 5.7.1 rejected\r\n");

    // The first byte of a reply decides it, however little of it arrived.
    auto s = acceptedUpToRcpt();
    s->client("DATA\r\n").server("3").client(hej());
    endsWithQuit(*s, "2");
    EXPECT_EQ(session.send(), 1);
    EXPECT_EQ(session.getStatusText(), "Brev skickat.");
}

TEST_F(CSmtpSessionTest, ASilentOrLostServerFailsTheStepItWasIn) {
    conversation()->stall();
    EXPECT_EQ(session.send(), 0);
    EXPECT_EQ(session.getStatusText(),
              "Ett fel uppstod vid anslutning till server. Servern svarade inte i tid.");

    acceptedUpToRcpt()->client("DATA\r\n").stall();
    EXPECT_EQ(session.send(), 0);
    EXPECT_EQ(session.getStatusText(), "mail.example: DATA: Servern svarade inte i tid.");

    // No answer to the end of the data: the server never took the message.
    acceptedUpToData()->client(hej()).stall();
    EXPECT_EQ(session.send(), 0);
    EXPECT_EQ(session.getStatusText(), "mail.example: DATA: Servern svarade inte i tid.");

    conversation()
        ->server("220 mail.example\r\n")
        .client("HELO nada\r\n")
        .server("250 mail.example\r\n")
        .client("MAIL FROM: <anna@example.org>\r\n")
        .drop();
    EXPECT_EQ(session.testAddress("bo@example.org"), 0);
    EXPECT_EQ(session.getStatusText(), "mail.example: MAIL FROM: Förbindelsen med servern bröts.");

    // Once the message is taken, a server that goes before answering QUIT changes nothing.
    auto s = acceptedUpToData();
    s->client(hej()).server("250 OK\r\n").client("QUIT\r\n").drop();
    EXPECT_EQ(session.send(), 1);
    EXPECT_EQ(session.getStatusText(), "Brev skickat.");
}

TEST_F(CSmtpSessionTest, NoServerOrARefusedConnectionCannotConnect) {
    session.setServer("");
    EXPECT_EQ(session.send(), 0);
    EXPECT_EQ(session.getStatusText(), "Kan inte ansluta.");
    EXPECT_EQ(session.testAddress("bo@example.org"), 0);
    EXPECT_EQ(session.getStatusText(), "Kan inte ansluta.");
    EXPECT_EQ(factory.fake.streamsCreated(), 0);

    session.setServer("mail.example");
    conversation()->refuseConnect();
    EXPECT_EQ(session.testAddress("bo@example.org"), 0);
    EXPECT_EQ(session.getStatusText(), "Kan inte ansluta.");
}

TEST_F(CSmtpSessionTest, ALineBreakInATypedFieldIsRefusedBeforeConnecting) {
    const std::string refused = "Adresser, Helo-namn och ärende får inte innehålla radbrytningar.";
    auto attempt = [&](auto setField, const std::string& value, bool test) {
        CSmtpSession fresh;
        fresh.setSocketFactory(&factory);
        fresh.setServer("mail.example");
        fresh.setHelo("nada");
        fresh.setFrom("anna@example.org");
        fresh.setTo("bo@example.org");
        fresh.setBody("Hej!");
        setField(fresh, value);
        EXPECT_EQ(test ? fresh.testAddress("bo@example.org") : fresh.send(), 0) << value;
        EXPECT_EQ(fresh.getStatusText(), refused) << value;
    };
    const std::string injected = "anna@example.org>\r\nRCPT TO:<victim@example.org";
    auto from = [](CSmtpSession& s, const std::string& v) { s.setFrom(v); };
    auto to = [](CSmtpSession& s, const std::string& v) { s.setTo(v); };
    auto helo = [](CSmtpSession& s, const std::string& v) { s.setHelo(v); };
    auto subject = [](CSmtpSession& s, const std::string& v) { s.setSubject(v); };
    attempt(from, injected, false);
    attempt(from, "Anna <anna@example.org>\nBcc: victim@example.org", false);
    attempt(to, "bo@example.org\r\nRCPT TO:<victim@example.org>", false);
    attempt(helo, "nada\r\nMAIL FROM:<x@y>", false);
    attempt(subject, "Hej\r\nBcc: victim@example.org", false);
    attempt(from, injected, true);
    attempt(helo, "nada\rRSET", true);

    session.setSubject("");
    EXPECT_EQ(session.testAddress("bo@example.org\r\nRCPT TO:<victim@example.org>"), 0);
    EXPECT_EQ(session.getStatusText(), refused);
    EXPECT_EQ(factory.fake.streamsCreated(), 0);
}

TEST_F(CSmtpSessionTest, MailWithoutASenderIsRefusedBeforeConnecting) {
    for (const char* from : {"", " ", "Anna <>"}) {
        session.setFrom(from);
        EXPECT_EQ(session.send(), 0) << from;
        EXPECT_EQ(session.getStatusText(), CStringTable::load(StringId::NoSenderAddress));
    }
    session.setForwardFile(tempFile);
    EXPECT_EQ(session.send(), 0);
    EXPECT_EQ(session.getStatusText(), CStringTable::load(StringId::NoSenderAddress));
    EXPECT_EQ(factory.fake.streamsCreated(), 0);
}

TEST_F(CSmtpSessionTest, TheAddressTestStopsAtTheRecipient) {
    session.setFrom("Anna <anna@example.org>");
    const std::string longAddress = std::string(300, 'a') + "@example.org";
    conversation()
        ->server("220 mail.example\r\n")
        .client("HELO nada\r\n")
        .server("250 mail.example\r\n")
        .client("MAIL FROM: <anna@example.org>\r\n")
        .server("250 OK\r\n")
        .client("RCPT TO: <" + longAddress + ">\r\n")
        .server("250 OK\r\n")
        .client("QUIT\r\n")
        .server("221 bye\r\n");
    EXPECT_EQ(session.testAddress(longAddress), 1);
    EXPECT_EQ(session.getStatusText(), "Adressen är giltig.");
}

TEST_F(CSmtpSessionTest, ComposedTextIsEncodedAndMadeTransparent) {
    session.setTo("Bo <bo@example.org>");
    session.setSubject("Räksmörgås");
    session.setBody(".\r\n..två\r\n1+1=2 \x7F\xC2\x80ÿ\r\n");
    auto s = acceptedUpToData();
    const std::string subject = "=?iso-8859-1?Q?R=E4ksm=F6rg=E5s?=";
    s->client(head("anna@example.org", "Bo <bo@example.org>", subject, kMime) +
              "=2E\r\n=2E.tv=E5\r\n1+1=3D2 =7F=80=FF\r\n.\r\n");
    endsWithQuit(*s);
    EXPECT_EQ(session.send(), 1);

    // 7-bit text goes out as typed, unless the owner asks for the encoding.
    session.setBody("a=41\n.");
    auto plain = acceptedUpToData();
    plain->client(head("anna@example.org", "bo@example.org", subject) + "a=41\r\n..\r\n.\r\n");
    endsWithQuit(*plain);
    EXPECT_EQ(session.send(), 1);
    session.quotedPrintable = 1;
    session.setSubject("");
    auto forced = acceptedUpToData();
    forced->client(head("anna@example.org", "bo@example.org", "", kMime) +
                   "a=3D41\r\n=2E\r\n.\r\n");
    endsWithQuit(*forced);
    EXPECT_EQ(session.send(), 1);

    // A character beyond ISO-8859-1 sends that text in UTF-8, declared, with nothing replaced.
    session.quotedPrintable = 0;
    session.setFrom("Łucja <anna@example.org>");
    session.setSubject("Pris: 5 €");
    session.setBody("Łódź");
    auto utf8 = acceptedUpToData();
    utf8->client(head("=?utf-8?Q?=C5=81ucja?= <anna@example.org>", "bo@example.org",
                      "=?utf-8?Q?Pris=3A=205=20=E2=82=AC?=",
                      "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=utf-8\r\n"
                      "Content-Transfer-Encoding: quoted-printable\r\n") +
                 "=C5=81=C3=B3d=C5=BA\r\n.\r\n");
    endsWithQuit(*utf8);
    EXPECT_EQ(session.send(), 1);
}

TEST_F(CSmtpSessionTest, AForwardUpToTheThresholdGoesInOneSendWithoutAWindow) {
    const std::string message = retrievedMessage(32768);
    writeFile(tempFile, message);
    session.setForwardFile(tempFile);
    auto s = acceptedUpToData();
    s->client(message); // its own terminating line ends the data: nothing is added
    endsWithQuit(*s);
    EXPECT_EQ(session.send(), 1);
    EXPECT_TRUE(progress.windows.empty());
    // HELO, MAIL FROM, RCPT TO, DATA, the file, QUIT.
    EXPECT_EQ(factory.sends, (std::vector<std::size_t>{11, 31, 26, 6, 32768, 6}));
    EXPECT_FALSE(fileExists(tempFile));

    // The send used the forward up: the next composes, and "filfil" typed is text like any.
    session.setBody("filfil");
    auto typed = acceptedUpToData();
    typed->client(head("anna@example.org", "bo@example.org") + "filfil\r\n.\r\n");
    endsWithQuit(*typed);
    EXPECT_EQ(session.send(), 1);
}

TEST_F(CSmtpSessionTest, ALargerForwardGoesInPiecesWithAWindow) {
    const std::string message = retrievedMessage(32769);
    writeFile(tempFile, message);
    session.setForwardFile(tempFile);
    auto s = acceptedUpToData();
    s->client(message);
    endsWithQuit(*s);
    EXPECT_EQ(session.send(), 1);
    EXPECT_EQ(session.getStatusText(), "Brev skickat.");

    ASSERT_EQ(progress.windows.size(), 1u);
    EXPECT_EQ(progress.windows[0]->total, 32769);
    EXPECT_EQ(progress.windows[0]->position.load(), 32769);
    std::vector<std::size_t> expected{11, 31, 26, 6};
    expected.insert(expected.end(), 32, 1024);
    expected.insert(expected.end(), {1, 6});
    EXPECT_EQ(factory.sends, expected);
    EXPECT_FALSE(fileExists(tempFile));
}

TEST_F(CSmtpSessionTest, ACancelledForwardDeletesTheFileAndSendsNoQuit) {
    const std::string message = retrievedMessage(40000);
    writeFile(tempFile, message);
    session.setForwardFile(tempFile);
    auto s = acceptedUpToData();
    s->client(message.substr(0, 2048)).action([&] { progress.cancelLatest(); });
    EXPECT_EQ(session.send(), 0);
    EXPECT_EQ(session.getStatusText(), "Forwardning avbruten.");
    EXPECT_FALSE(fileExists(tempFile));
    EXPECT_EQ(progress.windows.at(0)->position.load(), 1024);
}

TEST_F(CSmtpSessionTest, AMissingRetrievedMessageIsReportedAndTheDataAbandoned) {
    ::unlink(tempFile.c_str());
    session.setForwardFile(tempFile);
    acceptedUpToData(); // nothing of a message follows, and the connection is closed
    EXPECT_EQ(session.send(), 0);
    EXPECT_EQ(factory.sends.size(), 4u); // up to DATA; no QUIT
    EXPECT_EQ(session.getStatusText(),
              "Det hämtade brevet kunde inte läsas: " + tempFile + ": No such file or directory");
}

TEST_F(CSmtpSessionTest, TheExchangerIsAskedOfTheDnsServerThroughTheSessionsSockets) {
    using namespace std::string_literals;
    auto dns = factory.fake.addDatagramSocket();
    const std::string name = "\x07"
                             "example\x03org\x00"s;
    dns->answer("\x00\x01\x81\x80\x00\x01\x00\x01\x00\x00\x00\x00"s + name + "\x00\x0f\x00\x01"s +
                "\xc0\x0c\x00\x0f\x00\x01\x00\x00\x0e\x10\x00\x07\x00\x0a\x02mx\xc0\x0c"s);
    session.dnsServer = "127.0.0.9";
    EXPECT_EQ(session.lookupMailExchanger("example.org"), "mx.example.org");
    EXPECT_EQ(dns->host(), "127.0.0.9");
    EXPECT_EQ(dns->port(), 53);
}

// The submission port and the TLS port: EHLO, TLS where offered, the login where offered.
class CSmtpSubmissionTest : public ::testing::Test {
protected:
    void SetUp() override {
        session.setSocketFactory(&factory);
        session.setMessageStamps(&stamps);
        session.setServer("mail.example");
        session.setPort(587);
        session.setHelo("nada");
        session.setFrom("anna@example.org");
        session.setTo("bo@example.org");
        session.setBody("Hej!");
    }
    // Greeting and EHLO, the reply offering what is given, in two receives.
    std::shared_ptr<CFakeScript> greeted(const std::string& offers) {
        auto s = factory.addScript();
        s->server("220 mail.example\r\n")
            .client("EHLO nada\r\n")
            .server("250-mail.example\r\n250-SIZE 1000\r\n")
            .server(offers);
        return s;
    }
    // STARTTLS taken and EHLO again.
    void upgraded(CFakeScript& s, const std::string& offers) {
        s.client("STARTTLS\r\n").server("220 go ahead\r\n").tls();
        s.client("EHLO nada\r\n").server("250-mail.example\r\n" + offers);
    }
    void delivered(CFakeScript& s) {
        s.client("MAIL FROM: <anna@example.org>\r\n")
            .server("250 OK\r\n")
            .client("RCPT TO:<bo@example.org>\r\n")
            .server("250 OK\r\n")
            .client("DATA\r\n")
            .server("354 go\r\n")
            .client(hej())
            .server("250 queued\r\n")
            .client("QUIT\r\n")
            .server("221 bye\r\n");
    }
    void expectFinished(const std::shared_ptr<CFakeScript>& s) {
        EXPECT_TRUE(s->finished()) << s->report();
    }

    CFakeSocketFactory factory;
    CFixedStamps stamps;
    CSmtpSession session;
    const CSmtpLogin login{"anna", "hemligt"};
};

TEST_F(CSmtpSubmissionTest, UpgradesThenLogsInWithPlainOrLogin) {
    // A greeting over two receives is read whole before EHLO.
    auto s = factory.addScript();
    s->server("220-mail.example\r\n")
        .server("220 ready\r\n")
        .client("EHLO nada\r\n")
        .server("250-mail.example\r\n250-STARTTLS\r\n")
        .server("250 AUTH LOGIN\r\n");
    upgraded(*s, "250-AUTH LOGIN PLAIN\r\n250 8BITMIME\r\n");
    s->client("AUTH PLAIN AGFubmEAaGVtbGlndA==\r\n").server("235 2.7.0 OK\r\n");
    delivered(*s);
    EXPECT_EQ(session.send(login), 1) << session.getStatusText();
    EXPECT_EQ(session.getStatusText(), "Brev skickat.");
    expectFinished(s);

    // Only LOGIN offered (in the older form), and the address test logs in as sending does.
    s = greeted("250 STARTTLS\r\n");
    upgraded(*s, "250 AUTH=LOGIN\r\n");
    s->client("AUTH LOGIN\r\n")
        .server("334 VXNlcm5hbWU6\r\n")
        .client("YW5uYQ==\r\n")
        .server("334 UGFzc3dvcmQ6\r\n")
        .client("aGVtbGlndA==\r\n")
        .server("535 5.7.8 Authentication credentials invalid\r\n");
    EXPECT_EQ(session.testAddress("bo@example.org", login), 0);
    EXPECT_EQ(session.getStatusText(),
              "mail.example: AUTH: 535 5.7.8 Authentication credentials invalid\r\n");
    expectFinished(s);

    // On 465 TLS is there from the first byte: EHLO and the login, no STARTTLS.
    session.setPort(465);
    s = greeted("250 AUTH PLAIN\r\n");
    s->client("AUTH PLAIN AGFubmEAaGVtbGlndA==\r\n").server("535 no\r\n");
    EXPECT_EQ(session.send(login), 0);
    EXPECT_EQ(session.getStatusText(), "mail.example: AUTH: 535 no\r\n");
    expectFinished(s);
}

TEST_F(CSmtpSubmissionTest, NothingFollowsAFailedUpgradeOrALoginWithoutTls) {
    const std::string failed = "Kan inte ansluta. TLS-handskakningen misslyckades.";
    auto s = greeted("250 STARTTLS\r\n");
    s->client("STARTTLS\r\n").server("454 4.7.0 TLS not available\r\n");
    EXPECT_EQ(session.send(login), 0);
    EXPECT_EQ(session.getStatusText(), failed + " STARTTLS: 454 4.7.0 TLS not available\r\n");
    expectFinished(s);

    s = greeted("250 STARTTLS\r\n");
    s->client("STARTTLS\r\n").server("220 go ahead\r\n").tls(ConnectFailure::UntrustedCertificate);
    EXPECT_EQ(session.testAddress("bo@example.org", login), 0);
    EXPECT_EQ(session.getStatusText(), "Kan inte ansluta. Servern har inget betrott certifikat.");
    expectFinished(s);

    // Bytes after the go-ahead, before any handshake, cannot be told from protected ones.
    s = greeted("250 STARTTLS\r\n");
    s->client("STARTTLS\r\n").server("220 go ahead\r\n250 AUTH PLAIN\r\n");
    EXPECT_EQ(session.send(login), 0);
    EXPECT_EQ(session.getStatusText(), failed);
    expectFinished(s);

    // AUTH without STARTTLS: the password stays here.
    s = greeted("250 AUTH PLAIN LOGIN\r\n");
    EXPECT_EQ(session.send(login), 0);
    EXPECT_EQ(session.getStatusText(),
              "mail.example: AUTH: Servern erbjuder ingen kryptering (STARTTLS), så "
              "lösenordet skickas inte.");
    expectFinished(s);

    // Without a login there is nothing to keep back, and the server decides.
    s = greeted("250 AUTH PLAIN\r\n");
    delivered(*s);
    EXPECT_EQ(session.send(), 1) << session.getStatusText();
    expectFinished(s);

    // Any other port: HELO, and the login is not used.
    session.setPort(2525);
    s = factory.addScript();
    s->server("220 mail.example\r\n").client("HELO nada\r\n").server("250-STARTTLS\r\n");
    delivered(*s);
    EXPECT_EQ(session.send(login), 1) << session.getStatusText();
    expectFinished(s);
}

} // namespace
