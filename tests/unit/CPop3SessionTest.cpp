#include "pop3/CPop3Session.h"

#include "platform/COAuthSasl.h"
#include "platform/IAccessTokens.h"
#include "platform/IContentHost.h"
#include "platform/IMessageBoxHost.h"
#include "pop3/CMessageDownload.h"
#include "pop3/CMessagePreview.h"
#include "resources/CStringTable.h"
#include "support/CFakeSocketFactory.h"
#include "support/CModelPop3Server.h"
#include "support/CScriptedProgressHost.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

#if defined(__SANITIZE_ADDRESS__)
#define MAROKET_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MAROKET_ASAN 1
#endif
#endif
#ifdef MAROKET_ASAN
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

class CRecordingMessageBox : public IMessageBoxHost {
public:
    void showMessage(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

class CRecordingContent : public IContentHost {
public:
    void showContent(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "<missing>";
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class CPop3SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        session.setSocketFactory(&factory);
        session.setHost("pop.example");
        session.setPort(110);
        session.setUser("anna");
    }
    void TearDown() override {
        EXPECT_TRUE(script->finished()) << script->report();
        for (const auto& s : scripts)
            EXPECT_TRUE(s->finished()) << s->report();
    }

    // A further connection whose whole script the test must use.
    std::shared_ptr<CFakeScript> conversation() {
        scripts.push_back(factory.addScript());
        return scripts.back();
    }
    // The session keeps a password for one login only.
    bool login(const char* password = "hemligt") {
        session.setPassword(CSecret(password));
        return session.login();
    }

    CFakeScript& cServer(std::string bytes) { return script->server(std::move(bytes)); }
    CFakeScript& cClient(std::string bytes) { return script->client(std::move(bytes)); }

    void logIn() {
        cServer("+OK ready\r\n");
        cClient("CAPA\r\n");
        cServer("-ERR\r\n");
        cClient("USER anna\r\n");
        cServer("+OK\r\n");
        cClient("PASS hemligt\r\n");
        cServer("+OK logged in\r\n");
        ASSERT_TRUE(login()) << session.getErrorText();
    }
    // The script of the next connection, the current one used up.
    void nextConnection() {
        EXPECT_TRUE(script->finished()) << script->report();
        script = factory.addScript();
    }
    // A count and a listing that give message n the size sizes[n-1].
    void listSizes(std::initializer_list<int> sizes) {
        cClient("STAT\r\n");
        cServer("+OK " + std::to_string(sizes.size()) + " 0\r\n");
        ASSERT_TRUE(session.stat());
        cClient("LIST\r\n");
        std::string data = "+OK\r\n";
        int n = 0;
        for (int s : sizes)
            data += std::to_string(++n) + " " + std::to_string(s) + "\r\n";
        cServer(data + ".\r\n");
        ASSERT_TRUE(session.list());
    }

    CFakeSocketFactory factory;
    std::shared_ptr<CFakeScript> script = factory.addScript();
    std::vector<std::shared_ptr<CFakeScript>> scripts;
    CScriptedProgressHost progress;
    CRecordingMessageBox boxes;
    CPop3Session session;
};

TEST_F(CPop3SessionTest, LogsInWithUserAndPass) {
    logIn();
    EXPECT_EQ(script->sent(), "CAPA\r\nUSER anna\r\nPASS hemligt\r\n");
    EXPECT_TRUE(session.isConnected());
}

// Hands out "t1", "t2", ... and counts the refusals it is told of.
struct CCountingTokens : IAccessTokens {
    bool accessToken(const std::string&, const std::string&, std::string& token,
                     std::string&) override {
        token = "t" + std::to_string(++given);
        return true;
    }
    void tokenRefused(const std::string&, const std::string&) override { ++refused; }
    std::string note() const override { return {}; }
    int given = 0, refused = 0;
};

TEST_F(CPop3SessionTest, ARefusedTokenIsRenewedOnceThenTheServersReasonStands) {
    // On 995 the mechanisms are asked before the login; OAUTHBEARER where the SASL line has it.
    session.setPort(995);
    cServer("+OK ready\r\n");
    cClient("CAPA\r\n");
    cServer("+OK\r\nSASL PLAIN OAUTHBEARER\r\n.\r\n");
    for (const char* token : {"t1", "t2"}) {
        cClient("AUTH OAUTHBEARER " + COAuthSasl::oauthBearer("anna", "pop.example", 995, token) +
                "\r\n");
        // The reason comes as a challenge, which an empty line answers.
        cServer("+ eyJzdGF0dXMiOiI0MDEifQ==\r\n");
        cClient("\r\n");
        cServer("-ERR [AUTH] Authentication failed.\r\n");
    }
    CCountingTokens tokens;
    session.setAccessTokens(&tokens);
    EXPECT_FALSE(login(""));
    EXPECT_EQ(session.getErrorText(),
              "AUTH: -ERR [AUTH] Authentication failed. {\"status\":\"401\"}");
    EXPECT_EQ(tokens.refused, 1);

    // The server gave up while the user signed in: one new connection, without the SASL line
    // XOAUTH2.
    nextConnection();
    auto again = conversation();
    for (CFakeScript* s : {script.get(), again.get()})
        s->server("+OK ready\r\n").client("CAPA\r\n").server("-ERR\r\n");
    cClient("AUTH XOAUTH2 " + COAuthSasl::xoauth2("anna", "t3") + "\r\n").drop();
    again->client("AUTH XOAUTH2 " + COAuthSasl::xoauth2("anna", "t4") + "\r\n").server("+OK\r\n");
    session.setAccessTokens(&tokens);
    EXPECT_TRUE(login("")) << session.getErrorText();
}

TEST_F(CPop3SessionTest, LoginFailuresSayWhichStepFailed) {
    script->refuseConnect();
    EXPECT_FALSE(login());
    EXPECT_EQ(session.getErrorText(), "Kan inte ansluta.");

    conversation()->server("-ERR go away\r\n");
    EXPECT_FALSE(login());
    EXPECT_EQ(session.getErrorText(), "Ett fel uppstod vid anslutning till server.");

    conversation()
        ->server("+OK\r\n")
        .client("CAPA\r\n")
        .server("-ERR\r\n")
        .client("USER anna\r\n")
        .server("-ERR who?\r\n");
    EXPECT_FALSE(login());
    EXPECT_EQ(session.getErrorText(), "USER: -ERR who?\r\n");

    // The whole line reaches the caller, so it can look for "busy" or "try again".
    conversation()
        ->server("+OK\r\n")
        .client("CAPA\r\n")
        .server("-ERR\r\n")
        .client("USER anna\r\n")
        .server("+OK\r\n")
        .client("PASS hemligt\r\n")
        .server("-ERR [IN-USE] Mailbox busy, try again later\r\n");
    EXPECT_FALSE(login());
    EXPECT_EQ(session.getErrorText(), "PASS: -ERR [IN-USE] Mailbox busy, try again later\r\n");
    EXPECT_FALSE(session.isConnected());

    conversation()->server("+O").drop();
    EXPECT_FALSE(login());
    EXPECT_EQ(session.getErrorText(), "Kan inte ansluta. Förbindelsen med servern bröts.");
}

// Where the server pipelines, STAT goes in the same write as USER and PASS: a refused login
// makes it fail harmlessly and the reason stays PASS's; after a login STAT's answer is there.
TEST_F(CPop3SessionTest, APipelinedLoginSendsStatAlongAndKeepsTheRefusalOfPass) {
    session.setPipeliningAllowed(true);
    const std::string capa = "+OK\r\nPIPELINING\r\n.\r\n";
    cServer("+OK\r\n");
    cClient("CAPA\r\n");
    cServer(capa);
    cClient("USER anna\r\nPASS hemligt\r\nSTAT\r\n");
    cServer("+OK\r\n-ERR [AUTH] wrong password\r\n-ERR log in first\r\n");
    EXPECT_FALSE(login());
    EXPECT_EQ(session.getErrorText(), "PASS: -ERR [AUTH] wrong password\r\n");

    conversation()
        ->server("+OK\r\n")
        .client("CAPA\r\n")
        .server(capa)
        .client("USER anna\r\nPASS hemligt\r\nSTAT\r\n")
        .server("+OK\r\n+OK\r\n+OK 2 300\r\n");
    ASSERT_TRUE(login()) << session.getErrorText();
    ASSERT_TRUE(session.stat());
    EXPECT_EQ(session.getMessageCount(), 2);
}

// The window starts at 64 commands and grows while the answers keep coming, by one for each
// answer read while it was full: it doubles each round trip, within its limits.
TEST(CPop3Window, GrowsWhileTheAnswersKeepTheLinkBusy) {
    CModelPop3Server server;
    constexpr int kCount = 700;
    for (int n = 1; n <= kCount; ++n)
        server.deliver("a@example.org", "Subject", "text");
    CPop3Session session;
    session.setSocketFactory(&server);
    session.setPort(110);
    session.setPipeliningAllowed(true);
    ASSERT_TRUE(session.login() && session.stat());
    int requested = 0;
    std::vector<std::size_t> windows; // outstanding before each answer
    for (int n = 1; n <= kCount; ++n) {
        while (requested < kCount && session.canSendAhead() &&
               session.sendAhead(CPop3Session::ReplyKind::Top, requested + 1))
            ++requested;
        windows.push_back(session.outstanding());
        ASSERT_TRUE(session.readAnswer()) << session.getErrorText();
    }
    EXPECT_EQ(windows[0], CPop3Pipeline::kStartCommands);
    EXPECT_EQ(windows[64], 2 * CPop3Pipeline::kStartCommands); // one round trip later
    EXPECT_GE(*std::max_element(windows.begin(), windows.end()), 256u);
    EXPECT_EQ(session.messageTable().rowCount(), kCount);
}

TEST_F(CPop3SessionTest, ALineBreakInTheAccountOrPasswordSendsNothing) {
    cServer("+OK\r\n");
    cClient("CAPA\r\n");
    cServer("-ERR\r\n");
    cClient("USER anna\r\n");
    cServer("+OK\r\n");
    EXPECT_FALSE(login("hemligt\r\nDELE 1"));
    EXPECT_EQ(session.getErrorText(),
              "PASS: Kontonamn och lösenord får inte innehålla radbrytningar.");
    EXPECT_EQ(script->sent(), "CAPA\r\nUSER anna\r\n");
}

TEST_F(CPop3SessionTest, AnyCaseOfMinusErrFailsAndAnythingElseSucceeds) {
    logIn();
    cClient("NOOP\r\n");
    cServer("-err lowercase\r\n");
    cClient("RSET\r\n");
    cServer("-ErR mixed\r\n");
    cClient("NOOP\r\n");
    cServer("\r\n");
    cClient("RSET\r\n");
    cServer("whatever\n");
    EXPECT_FALSE(session.noop());
    EXPECT_EQ(session.getErrorText(), "NOOP: -err lowercase\r\n");
    EXPECT_FALSE(session.rset());
    EXPECT_EQ(session.getErrorText(), "RSET: -ErR mixed\r\n");
    EXPECT_TRUE(session.noop());
    EXPECT_TRUE(session.rset());
}

TEST_F(CPop3SessionTest, StatStoresCountAndSizeAndKeepsThemWithoutBlanks) {
    logIn();
    cClient("STAT\r\n");
    cServer("+OK 2 320\r\n");
    cClient("STAT\r\n");
    cServer("+OK\r\n");
    cClient("STAT\r\n");
    cServer("-ERR no\r\n");
    ASSERT_TRUE(session.stat());
    EXPECT_EQ(session.getMessageCount(), 2);
    EXPECT_EQ(session.getMailboxOctets(), 320);
    ASSERT_TRUE(session.stat());
    EXPECT_EQ(session.getMessageCount(), 2);
    EXPECT_EQ(session.getMailboxOctets(), 320);
    EXPECT_FALSE(session.stat());
    EXPECT_EQ(session.getErrorText(), "STAT: -ERR no\r\n");
}

TEST_F(CPop3SessionTest, ListAppendsOneSizePerMessage) {
    logIn();
    cClient("STAT\r\n");
    cServer("+OK 3 40300\r\n");
    ASSERT_TRUE(session.stat());
    cClient("LIST\r\n");
    cServer("+OK 3 messages\r\n");
    cServer("1 100\r\n2 2");
    cServer("00\r\n3 40000\r");
    // Lines beyond the count STAT gave are read and dropped.
    cServer("\n4 77\r\n5 88\r\n.\r\n");
    ASSERT_TRUE(session.list());
    ASSERT_EQ(session.messageTable().sizeCount(), 3);
    EXPECT_EQ(session.getMessageSize(2), 200);
    EXPECT_EQ(session.getMessageSize(3), 40000);
    EXPECT_EQ(session.getMessageSize(4), 0);

    cClient("QUIT\r\n");
    cServer("+OK bye\r\n");
    ASSERT_TRUE(session.quit());
    EXPECT_EQ(session.messageTable().sizeCount(), 0);
    EXPECT_FALSE(session.isConnected());
}

TEST_F(CPop3SessionTest, ListOfAnEmptyMailboxAddsNothing) {
    logIn();
    cClient("LIST\r\n");
    cServer("+OK 0 messages\r\n.\r\n");
    ASSERT_TRUE(session.list());
    EXPECT_EQ(session.messageTable().sizeCount(), 0);
}

// A reply's data arriving in two pieces, split anywhere: each read ends at the terminator, and
// the read-ahead before each further receive sees the end in the pieces as they arrive, so it
// never waits for bytes the server will not send before the next command.
TEST_F(CPop3SessionTest, TopAndRetrEndWhereverTheTerminatorIsSplit) {
    const std::string data = "From: a@b\r\nSubject: x\r\n\r\n..dotted\r\n.\r\n";
    logIn();
    CMessageDownload download(session, nullptr, nullptr);
    for (std::size_t cut = 1; cut < data.size(); ++cut) {
        SCOPED_TRACE(cut);
        for (const char* command : {"TOP 1 0\r\n", "RETR 1\r\n"}) {
            cClient(command);
            cServer("+OK\r\n");
            cServer(data.substr(0, cut));
            cServer(data.substr(cut));
        }
        ASSERT_TRUE(session.top(1, 0));
        EXPECT_EQ(session.getReplyText(), data);
        ASSERT_TRUE(download.run(1));
        EXPECT_EQ(fileBytes(download.file()), data);
    }
    EXPECT_EQ(script->needlessWaits(), 0);
}

// An answer still on its way belongs to the command sent ahead: a command that reads its own
// answer at once is refused meanwhile and sends nothing, so message 1's headers can never pass
// for message 2's.
TEST_F(CPop3SessionTest, ACommandThatReadsItsOwnAnswerWaitsForNoneSentAhead) {
    logIn();
    cClient("TOP 1 0\r\n");
    cServer("+OK\r\nFrom: ett@example.org\r\n\r\n.\r\n");
    ASSERT_TRUE(session.sendAhead(CPop3Session::ReplyKind::Top, 1));
    EXPECT_FALSE(session.fetchSummary(2));
    EXPECT_FALSE(session.top(2, 0));
    EXPECT_FALSE(session.dele(2));
    EXPECT_EQ(script->sent(), "CAPA\r\nUSER anna\r\nPASS hemligt\r\nTOP 1 0\r\n");
    ASSERT_TRUE(session.readAnswer());
    EXPECT_EQ(session.getFrom(), "ett@example.org");
    ASSERT_EQ(session.messageTable().rowCount(), 1);
    EXPECT_EQ(session.messageTable().senderOf(1), "ett@example.org");
}

TEST_F(CPop3SessionTest, RefusedTopLeavesTheErrorTextAlone) {
    logIn();
    cClient("STAT\r\n");
    cServer("-ERR earlier\r\n");
    cClient("TOP 9 0\r\n");
    cServer("-ERR no such message\r\n");
    EXPECT_FALSE(session.stat());
    EXPECT_FALSE(session.top(9, 0));
    EXPECT_EQ(session.getErrorText(), "STAT: -ERR earlier\r\n");
    EXPECT_EQ(session.getReplyText(), "");
}

TEST_F(CPop3SessionTest, OnlyACommittedQuitMarksTheDeletedRows) {
    for (int n = 1; n <= 3; ++n)
        session.messageTable().appendSummary("from" + std::to_string(n), "s", "d");
    const MessageTable& table = session.messageTable();
    // Refused, taken back by RSET, then committed: only the last counts.
    logIn();
    cClient("DELE 1\r\n");
    cServer("-ERR message 1 is locked\r\n");
    cClient("DELE 2\r\n");
    cServer("+OK\r\n");
    cClient("RSET\r\n");
    cServer("+OK\r\n");
    cClient("DELE 3\r\n");
    cServer("+OK\r\n");
    EXPECT_FALSE(session.dele(1));
    EXPECT_EQ(session.getErrorText(), "DELE: -ERR message 1 is locked\r\n");
    EXPECT_TRUE(session.dele(2));
    EXPECT_TRUE(session.rset());
    EXPECT_TRUE(session.dele(3));
    EXPECT_FALSE(table.isDeleted(3)); // not before QUIT
    cClient("QUIT\r\n");
    cServer("+OK bye\r\n");
    ASSERT_TRUE(session.quit());
    EXPECT_FALSE(table.isDeleted(1));
    EXPECT_FALSE(table.isDeleted(2));
    EXPECT_TRUE(table.isDeleted(3));

    // A connection lost before QUIT: the server deleted nothing, no row is marked.
    nextConnection();
    logIn();
    cClient("DELE 1\r\n");
    cServer("+OK\r\n");
    cClient("DELE 2\r\n");
    script->drop();
    EXPECT_TRUE(session.dele(1));
    EXPECT_FALSE(session.dele(2));
    EXPECT_FALSE(session.quit());
    EXPECT_FALSE(table.isDeleted(1));
    EXPECT_EQ(table.rowCount(), 3);

    // QUIT sent but unanswered: the server may have deleted, and without unique ids no row can
    // be trusted to name its message any more.
    nextConnection();
    logIn();
    cClient("DELE 1\r\n");
    cServer("+OK\r\n");
    cClient("QUIT\r\n");
    script->drop();
    EXPECT_TRUE(session.dele(1));
    EXPECT_FALSE(session.quit());
    EXPECT_EQ(table.rowCount(), 0);
}

TEST_F(CPop3SessionTest, RefusedQuitKeepsTheConnection) {
    logIn();
    listSizes({5});
    cClient("QUIT\r\n");
    cServer("-ERR not now\r\n");
    EXPECT_FALSE(session.quit());
    EXPECT_EQ(session.getErrorText(), "QUIT: -ERR not now\r\n");
    EXPECT_TRUE(session.isConnected());
    EXPECT_EQ(session.messageTable().sizeCount(), 1);
}

TEST_F(CPop3SessionTest, EveryReplyButNoopCountsAsActivity) {
    logIn();
    const auto before = session.activity();
    cClient("NOOP\r\n");
    cServer("+OK\r\n");
    ASSERT_TRUE(session.noop());
    EXPECT_EQ(session.activity(), before);
    cClient("RSET\r\n");
    cServer("-ERR\r\n");
    session.rset();
    EXPECT_NE(session.activity(), before);
}

TEST_F(CPop3SessionTest, AServerThatClosesMidReplyEndsTheOperation) {
    logIn();
    cClient("STAT\r\n");
    cServer("+OK 1");
    script->drop();
    EXPECT_FALSE(session.stat());
    EXPECT_EQ(session.getErrorText(), "STAT: Förbindelsen med servern bröts.");
    EXPECT_FALSE(session.isConnected());
    // Nothing is sent on a connection that is gone.
    EXPECT_FALSE(session.noop());
    EXPECT_EQ(session.getErrorText(), "NOOP: Inte ansluten till servern.");

    conversation()
        ->server("+OK\r\n")
        .client("CAPA\r\n")
        .server("-ERR\r\n")
        .client("USER anna\r\n")
        .server("+OK\r\n")
        .client("PASS hemligt\r\n")
        .server("+OK\r\n")
        .client("TOP 1 0\r\n")
        .server("+OK\r\nFrom: a\r\n")
        .drop();
    ASSERT_TRUE(login());
    EXPECT_FALSE(session.top(1, 0));
    EXPECT_EQ(session.getErrorText(), "TOP: Förbindelsen med servern bröts.");
}

TEST_F(CPop3SessionTest, AServerThatStopsAnsweringTimesOut) {
    logIn();
    cClient("LIST\r\n");
    cServer("+OK\r\n1 100\r\n");
    script->stall();
    EXPECT_FALSE(session.list());
    EXPECT_EQ(session.getErrorText(), "LIST: Servern svarade inte i tid.");
    EXPECT_FALSE(session.isConnected());
}

TEST_F(CPop3SessionTest, LoginClosesTheEarlierConnectionFirst) {
    logIn();
    conversation()->refuseConnect();
    EXPECT_FALSE(login());
    EXPECT_EQ(factory.streamsCreated(), 2);
    EXPECT_FALSE(session.isConnected());
}

TEST_F(CPop3SessionTest, StlsComesBeforeTheAccountAndAFailedOneSendsNeitherAccountNorPassword) {
    session.setPipeliningAllowed(true);
    const std::string offer = "+OK\r\nUSER\r\nSTLS\r\n.\r\n";
    cServer("+OK ready\r\n");
    cClient("CAPA\r\n");
    cServer(offer);
    cClient("STLS\r\n");
    cServer("+OK begin TLS\r\n");
    script->tls();
    // Asked again under TLS; what the server said in clear counts for nothing.
    cClient("CAPA\r\n");
    cServer("+OK\r\nUSER\r\nPIPELINING\r\n.\r\n");
    cClient("USER anna\r\nPASS hemligt\r\nSTAT\r\n");
    cServer("+OK\r\n+OK\r\n");
    ASSERT_TRUE(login()) << session.getErrorText();
    EXPECT_TRUE(session.pipelining());

    const std::string failed = "Kan inte ansluta. TLS-handskakningen misslyckades.";
    auto attempt = [&](const std::string& reply, ConnectFailure why, const std::string& text) {
        auto s = factory.addScript();
        s->server("+OK\r\n").client("CAPA\r\n").server(offer).client("STLS\r\n").server(reply);
        if (why != ConnectFailure::Unspecified)
            s->tls(why);
        EXPECT_FALSE(login());
        EXPECT_EQ(session.getErrorText(), text);
        EXPECT_EQ(s->sent(), "CAPA\r\nSTLS\r\n");
        EXPECT_TRUE(s->finished()) << s->report();
        EXPECT_FALSE(session.isConnected());
    };
    attempt("-ERR not now\r\n", ConnectFailure::Unspecified, failed + " STLS: -ERR not now\r\n");
    attempt("+OK\r\n", ConnectFailure::NameMismatch,
            "Kan inte ansluta. Certifikatet gäller ett annat namn.");
    // Bytes after the go-ahead, before any handshake, cannot be told from protected ones.
    attempt("+OK\r\n+OK USER accepted\r\n", ConnectFailure::Unspecified, failed);
}

TEST_F(CPop3SessionTest, SummariesAreDecodedAndAppended) {
    logIn();
    cClient("TOP 1 0\r\n");
    cServer("+OK\r\nFrom: =?iso-8859-1?Q?Hej_d=E5?= <hej@example.org>\r\n"
            "Subject: =?iso-8859-1?Q?R=E4kning?=\r\nDate: Tue, 8 Dec 2026 10:00 +0100\r\n\r\n"
            ".\r\n");
    cClient("TOP 2 0\r\n");
    cServer("-ERR no such message\r\n");
    cClient("TOP 3 0\r\n");
    cServer("+OK\r\nFrom: a\r\nSubject: b\r\nDa");
    script->drop();
    EXPECT_TRUE(session.fetchSummary(1));
    EXPECT_EQ(session.getFrom(), "Hej då <hej@example.org>");
    EXPECT_EQ(session.getSubject(), "Räkning");
    EXPECT_EQ(session.getDate(), "Tue, 8 Dec 2026 10:00 +0100");
    EXPECT_TRUE(session.fetchSummary(2));
    EXPECT_EQ(session.getFrom(), "-saknas-");
    EXPECT_EQ(session.getSubject(), "-saknas-");
    EXPECT_EQ(session.getDate(), "-saknas-");
    // A header block cut off by a lost connection is not taken for the message's headers.
    EXPECT_FALSE(session.fetchSummary(3));
    const MessageTable& t = session.messageTable();
    ASSERT_EQ(t.rowCount(), 2);
    EXPECT_EQ(t.subjectOf(1), "Räkning");
    EXPECT_EQ(t.senderOf(2), "-saknas-");
}

TEST_F(CPop3SessionTest, PreviewShowsTheDecodedBeginning) {
    CRecordingContent content;
    logIn();
    cClient("TOP 4 50\r\n");
    cServer("+OK\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\nGr=F6t\r\n.\r\n");
    cClient("TOP 5 50\r\n");
    cServer("-ERR\r\n");
    CMessagePreview::show(session, 4, 50, &content);
    CMessagePreview::show(session, 5, 50, &content);
    ASSERT_EQ(content.shown.size(), 2u);
    EXPECT_EQ(content.shown[0], "Content-Transfer-Encoding: quoted-printable\r\n\r\nGröt");
    EXPECT_EQ(content.shown[1], "");
}

class CPop3RetrTest : public CPop3SessionTest {
protected:
    CMessageDownload download{session, &progress, &boxes};
    // Message 1 stored with the given listed size, sent as the given chunks.
    void retrieve(int listedSize, std::initializer_list<std::string> chunks) {
        logIn();
        listSizes({listedSize});
        cClient("RETR 1\r\n");
        cServer("+OK " + std::to_string(listedSize) + " octets\r\n");
        for (const auto& c : chunks)
            cServer(c);
    }
};

TEST_F(CPop3RetrTest, WritesTheMessageByteForByte) {
    using namespace std::string_literals;
    const std::string message = "Subject: s\r\n\r\n..stuffed\r\nline\0zero\r\n.\r\n"s;
    retrieve(40, {message.substr(0, 20), message.substr(20)});
    ASSERT_TRUE(download.run(1)) << session.getErrorText();
    const std::string path = download.file();
    EXPECT_EQ(fileBytes(path), message);
    EXPECT_TRUE(progress.windows.empty());
    std::string folder, error;
    ASSERT_TRUE(CTempFile::folder(folder, error)) << error;
    EXPECT_EQ(path.substr(0, folder.size() + 1), folder + "/");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(CPop3RetrTest, ProgressWindowOnlyAboveTheThreshold) {
    const std::string small = std::string(32760, 'x') + "\r\n.\r\n";
    retrieve(32768, {small});
    ASSERT_TRUE(download.run(1));
    EXPECT_TRUE(progress.windows.empty());

    cClient("LIST\r\n");
    cServer("+OK\r\n1 32769\r\n.\r\n");
    cClient("RETR 1\r\n");
    cServer("+OK\r\n");
    // The listed size is reached before the terminator: the window must not end early.
    cServer(std::string(40000, 'y'));
    script->action([&] {
        ASSERT_EQ(progress.windows.size(), 1u);
        EXPECT_EQ(progress.windows[0]->total, 32769);
        EXPECT_EQ(progress.windows[0]->position.load(), 32768);
    });
    cServer("\r\n.\r\n");
    session.messageTable().clearSizes();
    ASSERT_TRUE(session.list());
    ASSERT_TRUE(download.run(1));
    EXPECT_EQ(progress.windows[0]->position.load(), 32769);
    EXPECT_EQ(fileBytes(download.file()).size(), 40005u);
}

TEST_F(CPop3RetrTest, WithoutAListedSizeThereIsNoWindow) {
    logIn();
    cClient("RETR 3\r\n");
    cServer("+OK\r\n");
    cServer(std::string(50000, 'z') + "\r\n.\r\n");
    ASSERT_TRUE(download.run(3));
    EXPECT_TRUE(progress.windows.empty());
}

TEST_F(CPop3RetrTest, CancelDeletesTheFileAndDropsTheConnection) {
    retrieve(100000, {std::string(30000, 'a')});
    script->action([&] { progress.cancelLatest(); });
    cServer(std::string(30000, 'b'));
    cClient("STAT\r\n"); // never sent: the connection is gone
    EXPECT_FALSE(download.run(1));
    EXPECT_EQ(filesInTempFolder(), 0);
    EXPECT_EQ(session.getErrorText(), "RETR: Avbrutet av användaren.");
    EXPECT_FALSE(session.isConnected());
    EXPECT_FALSE(session.stat());
    script = conversation(); // the STAT step above stays unused on purpose
}

TEST_F(CPop3RetrTest, RefusedOrLostDownloadLeavesNoFile) {
    retrieve(10, {"part"});
    script->drop();
    EXPECT_FALSE(download.run(1));
    EXPECT_EQ(filesInTempFolder(), 0);
    EXPECT_EQ(session.getErrorText(), "RETR: Förbindelsen med servern bröts.");

    conversation()
        ->server("+OK\r\n")
        .client("CAPA\r\n")
        .server("-ERR\r\n")
        .client("USER anna\r\n")
        .server("+OK\r\n")
        .client("PASS hemligt\r\n")
        .server("+OK\r\n")
        .client("RETR 2\r\n")
        .server("-ERR no such message\r\n");
    ASSERT_TRUE(login());
    EXPECT_FALSE(download.run(2));
    EXPECT_EQ(filesInTempFolder(), 0);
    EXPECT_EQ(session.getErrorText(), "RETR: -ERR no such message\r\n");
}

TEST_F(CPop3RetrTest, AFileThatCannotBeMadeIsReportedInABox) {
    retrieve(10, {});
    const std::string saved = std::getenv("XDG_RUNTIME_DIR");
    ::setenv("XDG_RUNTIME_DIR", "/proc/self", 1); // no folder can be made there
    EXPECT_FALSE(download.run(1));
    ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].rfind("Error: /proc/self/maroket: ", 0), 0u) << boxes.shown[0];
    EXPECT_EQ(session.getErrorText(), boxes.shown[0]);
    EXPECT_FALSE(session.isConnected());
}

// A server that answers every command but CAPA with +OK, and TOP with a data block of the given
// size, made up as it is read.
class CHugeReplyStream : public IStream {
public:
    bool connect(const std::string&, int) override { return send("greeting"); }
    bool send(std::string_view bytes) override {
        dataLeft_ = bytes.starts_with("TOP") ? 50u << 20 : 0;
        waiting_ = bytes.starts_with("CAPA") ? "-ERR\r\n" : "+OK\r\n";
        return true;
    }
    IoResult receive(char* into, std::size_t max) override {
        if (waiting_.empty() && dataLeft_ > 0) {
            const std::size_t n = std::min(max, dataLeft_);
            std::memset(into, 'x', n);
            if ((dataLeft_ -= n) == 0)
                waiting_ = "\r\n.\r\n";
            return {n, IoStatus::Ok};
        }
        const std::size_t n = std::min(max, waiting_.size());
        waiting_.copy(into, n);
        waiting_.erase(0, n);
        return {n, n > 0 ? IoStatus::Ok : IoStatus::Closed};
    }
    void close() override {}
    bool isOpen() const override { return true; }
    std::string lastError() const override { return {}; }

private:
    std::size_t dataLeft_ = 0;
    std::string waiting_;
};

class CHugeReplyFactory : public ISocketFactory {
public:
    std::unique_ptr<IStream> createStream(StreamSecurity) override {
        return std::make_unique<CHugeReplyStream>();
    }
    std::unique_ptr<IDatagramSocket> createDatagramSocket() override { return nullptr; }
};

TEST(CPop3SessionMemory, A50MbPreviewStaysUnder100MbAndSaysItWasCut) {
    // In a child of its own, so that its peak is measured alone.
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CHugeReplyFactory factory;
        CRecordingContent content;
        CPop3Session session;
        session.setSocketFactory(&factory);
        long result[2] = {0, 0};
        if (session.login() && (CMessagePreview::show(session, 1, 2000000, &content), true) &&
            content.shown.size() == 1) {
            const std::string& shown = content.shown[0];
            result[1] = shown.ends_with("\r\n" + CStringTable::load(StringId::CutNote)) &&
                        shown.size() <= (4u << 20) + 200;
        }
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        result[0] = usage.ru_maxrss;
        (void)!::write(pipeFds[1], result, sizeof result);
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    long result[2] = {0, 0};
    const ssize_t got = ::read(pipeFds[0], result, sizeof result);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_EQ(got, static_cast<ssize_t>(sizeof result));
    EXPECT_TRUE(result[1]) << "the kept text is not the first 4 MB with the note after it";
    // Under AddressSanitizer its shadow and its quarantine of freed memory would be measured.
    if (!kAddressSanitizer) {
        EXPECT_LT(result[0], 100 * 1024) << "peak resident set in kB";
    }
}

} // namespace
