// Every reply of both sessions cut off at every byte, and the server falling silent at every line
// boundary: each must end the operation with false and a text, leave the message table as it
// was and leave no downloaded-message file behind.
#include "pop3/CMessageDownload.h"
#include "pop3/CPop3Session.h"
#include "resources/CStringTable.h"
#include "send/CSmtpSession.h"
#include "support/CFakeSocketFactory.h"
#include "support/CFixedStamps.h"
#include "support/CScriptedProgressHost.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const std::string kLost = "Förbindelsen med servern bröts.";
const std::string kSilent = "Servern svarade inte i tid.";

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// One way for a reply to go wrong: the part of it that arrives, then a drop or a stall.
struct Fault {
    std::string arrives;
    bool stall;
    std::string name() const {
        return (stall ? "stall after " : "drop after ") + std::to_string(arrives.size()) + " bytes";
    }
};

// A drop at every byte offset of the reply, and a stall at every line boundary inside it.
std::vector<Fault> faultsOf(const std::string& reply) {
    std::vector<Fault> faults;
    for (std::size_t cut = 0; cut < reply.size(); ++cut)
        faults.push_back({reply.substr(0, cut), false});
    faults.push_back({"", true});
    for (std::size_t at = reply.find('\n'); at + 1 < reply.size(); at = reply.find('\n', at + 1))
        faults.push_back({reply.substr(0, at + 1), true});
    return faults;
}

void playFault(CFakeScript& script, const Fault& fault) {
    if (!fault.arrives.empty())
        script.server(fault.arrives);
    if (fault.stall)
        script.stall();
    else
        script.drop();
}

// The table as the main window sees it: sizes and the three text columns.
struct TableSnapshot {
    std::vector<double> sizes;
    std::vector<std::string> rows;

    explicit TableSnapshot(const MessageTable& t) {
        for (int n = 1; n <= t.sizeCount(); ++n)
            sizes.push_back(t.sizeOf(n));
        for (int n = 1; n <= t.rowCount(); ++n)
            rows.push_back(t.senderOf(n) + "|" + t.subjectOf(n) + "|" + t.dateOf(n));
    }
    bool operator==(const TableSnapshot&) const = default;
};

void PrintTo(const TableSnapshot& s, std::ostream* os) {
    *os << s.sizes.size() << " sizes, rows:";
    for (const auto& r : s.rows)
        *os << " [" << r << "]";
}

// How a POP3 reply kind is reached, what its reply is, and the operation that reads it.
struct Pop3Case {
    const char* kind;
    std::string command; // what the client sends before the reply; empty for the greeting
    std::string reply;
    bool afterLogin;
    std::function<bool(CPop3Session&)> run;
};

const std::string kListReply = "+OK 2 messages\r\n1 120\r\n2 45\r\n.\r\n";
const std::string kMessage = "Subject: s\r\n\r\n..stuffed\r\nbody\r\n.\r\n";

std::vector<Pop3Case> pop3Cases() {
    return {
        {"greeting", "", "+OK POP3 ready\r\n", false, [](CPop3Session& s) { return s.login(); }},
        {"USER", "USER anna\r\n", "+OK send PASS\r\n", false,
         [](CPop3Session& s) { return s.login(); }},
        {"PASS", "PASS hemligt\r\n", "+OK logged in\r\n", false,
         [](CPop3Session& s) { return s.login(); }},
        {"STAT", "STAT\r\n", "+OK 2 165\r\n", true, [](CPop3Session& s) { return s.stat(); }},
        {"LIST", "LIST\r\n", kListReply, true, [](CPop3Session& s) { return s.list(); }},
        {"UIDL", "UIDL\r\n", "+OK\r\n1 a1\r\n2 b2\r\n.\r\n", true,
         [](CPop3Session& s) { return s.uidl(); }},
        {"TOP", "TOP 3 0\r\n", "+OK\r\nFrom: a@b\r\nSubject: s\r\nDate: d\r\n\r\n.\r\n", true,
         [](CPop3Session& s) { return s.fetchSummary(3); }},
        {"RETR", "RETR 2\r\n", "+OK 45 octets\r\n" + kMessage, true,
         [](CPop3Session& s) { return CMessageDownload(s, nullptr, nullptr).run(2); }},
        {"DELE", "DELE 1\r\n", "+OK marked\r\n", true, [](CPop3Session& s) { return s.dele(1); }},
        {"NOOP", "NOOP\r\n", "+OK\r\n", true, [](CPop3Session& s) { return s.noop(); }},
        {"RSET", "RSET\r\n", "+OK\r\n", true, [](CPop3Session& s) { return s.rset(); }},
        {"QUIT", "QUIT\r\n", "+OK bye\r\n", true, [](CPop3Session& s) { return s.quit(); }},
    };
}

// The conversation up to the command whose reply is cut; a listing first, so that every
// message has its size.
void scriptUpTo(CFakeScript& script, const Pop3Case& c) {
    if (c.command.empty())
        return;
    script.server("+OK POP3 ready\r\n").client("CAPA\r\n").server("-ERR\r\n");
    script.client("USER anna\r\n");
    if (c.command == "USER anna\r\n")
        return;
    script.server("+OK\r\n").client("PASS hemligt\r\n");
    if (c.command == "PASS hemligt\r\n")
        return;
    script.server("+OK\r\n");
    if (c.command != "STAT\r\n")
        script.client("STAT\r\n").server("+OK 2 165\r\n");
    if (c.command != "STAT\r\n" && c.command != "LIST\r\n")
        script.client("LIST\r\n").server(kListReply);
    script.client(c.command);
}

TEST(CFaultInjection, EveryPop3ReplyCutOrSilentEndsWithATextAndAnIntactTable) {
    CScriptedProgressHost progress;
    for (const Pop3Case& c : pop3Cases()) {
        for (const Fault& fault : faultsOf(c.reply)) {
            SCOPED_TRACE(std::string(c.kind) + ": " + fault.name());
            CFakeSocketFactory factory;
            auto script = factory.addScript();
            CPop3Session session;
            session.setSocketFactory(&factory);
            session.setHost("pop.example");
            session.setPort(110);
            session.setUser("anna");
            session.setPassword(CSecret("hemligt"));
            // Two header rows from an earlier load; the cut reply may change none of them.
            session.messageTable().appendSummary("a@x", "Ett", "1 jan");
            session.messageTable().appendSummary("b@x", "Två", "2 jan");

            scriptUpTo(*script, c);
            playFault(*script, fault);
            if (c.afterLogin) {
                ASSERT_TRUE(session.login()) << session.getErrorText();
                if (c.command != "STAT\r\n") {
                    ASSERT_TRUE(session.stat());
                    if (c.command != "LIST\r\n") {
                        ASSERT_TRUE(session.list());
                    }
                }
            }
            const TableSnapshot before(session.messageTable());

            EXPECT_FALSE(c.run(session));
            const std::string error = session.getErrorText();
            EXPECT_NE(error.find(fault.stall ? kSilent : kLost), std::string::npos) << error;
            EXPECT_FALSE(session.isConnected());
            EXPECT_TRUE(script->finished()) << script->report();
            EXPECT_EQ(filesInTempFolder(), 0);

            TableSnapshot expected = before;
            if (!c.afterLogin) // a new login always starts without sizes
                expected.sizes.clear();
            EXPECT_EQ(TableSnapshot(session.messageTable()), expected);
        }
    }
    EXPECT_TRUE(progress.windows.empty());
}

TEST(CFaultInjection, ALargeDownloadCutShortClosesItsWindowAndLeavesNoFile) {
    const std::string body(40000, 'x');
    for (const Fault& fault : {Fault{"+OK\r\n" + body.substr(0, 20000), false},
                               Fault{"+OK\r\n" + body + "\r\n", true}}) {
        SCOPED_TRACE(fault.name());
        CFakeSocketFactory factory;
        CScriptedProgressHost progress;
        CPop3Session session;
        session.setSocketFactory(&factory);
        auto script = factory.addScript();
        script->server("+OK\r\n")
            .client("CAPA\r\n")
            .server("-ERR\r\n")
            .client("USER \r\n")
            .server("+OK\r\n")
            .client("PASS \r\n");
        script->server("+OK\r\n").client("STAT\r\n").server("+OK 1 40004\r\n");
        script->client("LIST\r\n").server("+OK\r\n1 40004\r\n.\r\n");
        script->client("RETR 1\r\n");
        playFault(*script, fault);
        ASSERT_TRUE(session.login());
        ASSERT_TRUE(session.stat());
        ASSERT_TRUE(session.list());
        EXPECT_FALSE(CMessageDownload(session, &progress, nullptr).run(1));
        EXPECT_EQ(filesInTempFolder(), 0);
        // The window reaches its end and closes itself: nobody is left to press Avbryt.
        ASSERT_EQ(progress.windows.size(), 1u);
        EXPECT_EQ(progress.windows[0]->position.load(), progress.windows[0]->total);
    }
}

TEST(CFaultInjection, LineBreaksInTheAccountOrPasswordNeverReachTheWire) {
    const std::string refused = "Kontonamn och lösenord får inte innehålla radbrytningar.";
    struct Attempt {
        std::string user, password, sentBefore;
    };
    for (const Attempt& a :
         {Attempt{"anna\r\nDELE 1", "hemligt", ""}, Attempt{"anna\rRSET", "hemligt", ""},
          Attempt{"anna\n", "hemligt", ""}, Attempt{"anna", "hemligt\nQUIT", "USER anna\r\n"},
          Attempt{"anna", "\r\n", "USER anna\r\n"}}) {
        SCOPED_TRACE(a.user + "/" + a.password);
        CFakeSocketFactory factory;
        auto script = factory.addScript();
        script->server("+OK\r\n").client("CAPA\r\n").server("-ERR\r\n");
        if (!a.sentBefore.empty())
            script->client(a.sentBefore).server("+OK\r\n");
        CPop3Session session;
        session.setSocketFactory(&factory);
        session.setUser(a.user);
        session.setPassword(CSecret(std::string(a.password)));
        EXPECT_FALSE(session.login());
        EXPECT_EQ(script->sent(), "CAPA\r\n" + a.sentBefore);
        EXPECT_NE(session.getErrorText().find(refused), std::string::npos);
        EXPECT_TRUE(script->finished()) << script->report();
    }
}

// The SMTP dialogue of one message, reply by reply; "end of data" is the answer to the message.
struct SmtpStep {
    const char* name;
    std::string command;
    std::string reply;
};

const std::string kData = CFixedStamps::start() +
                          "From: anna@example.org\r\nTo: bo@example.org\r\n"
                          "Message-ID: <1@example.org>\r\n\r\nHej!\r\n.\r\n";
const std::string kQuotedSender = "MAIL FROM: \"anna@example.org\"\r\n";

std::vector<SmtpStep> smtpSteps() {
    return {
        {"greeting", "", "220-mail.example ESMTP\r\n220 ready\r\n"},
        {"HELO", "HELO nada\r\n", "250 mail.example\r\n"},
        {"MAIL FROM", "MAIL FROM: <anna@example.org>\r\n", "250 OK\r\n"},
        {"RCPT TO", "RCPT TO:<bo@example.org>\r\n", "250 OK\r\n"},
        {"DATA", "DATA\r\n", "354 go ahead\r\n"},
        {"end of data", kData, "250 OK queued\r\n"},
        {"QUIT", "QUIT\r\n", "221 bye\r\n"},
    };
}

constexpr std::size_t kMailFrom = 2, kDataStep = 4, kEndOfData = 5, kQuit = 6;

// What the client sends after the part of step i's reply that arrived: the next step's command
// when that part passes the step's test (one receive is the whole reply; from DATA on its first
// byte decides, and every part of these replies begins with the right one), the quoted sender
// after a refused first MAIL FROM.
std::string sentAfter(std::size_t i, const std::string& arrives, const std::string& data) {
    const auto steps = smtpSteps();
    if (arrives.empty() || i == kQuit)
        return {};
    if (i >= kDataStep && arrives[0] == steps[i].reply[0])
        return i == kDataStep ? data : steps[i + 1].command;
    if (i >= kDataStep)
        return {};
    if (arrives.compare(0, 3, steps[i].reply, 0, 3) == 0)
        return steps[i + 1].command;
    return i == kMailFrom ? kQuotedSender : std::string{};
}

class CSmtpFaultTest : public ::testing::Test {
protected:
    // The dialogue with every reply whole up to step `cut`, whose reply suffers the fault.
    std::shared_ptr<CFakeScript> script(std::size_t cut, const Fault& fault,
                                        const std::string& data = kData) {
        auto s = factory.addScript();
        const auto steps = smtpSteps();
        for (std::size_t i = 0; i <= cut; ++i) {
            const std::string command = i == kEndOfData ? data : steps[i].command;
            if (!command.empty())
                s->client(command);
            if (i < cut)
                s->server(steps[i].reply);
        }
        if (!fault.arrives.empty())
            s->server(fault.arrives);
        const std::string next = sentAfter(cut, fault.arrives, data);
        if (!next.empty())
            s->client(next);
        // A part of a reply that decides the step is all the client reads of it: it never
        // meets what the server does next.
        if (fault.arrives.empty() || !next.empty()) {
            if (fault.stall)
                s->stall();
            else
                s->drop();
        }
        return s;
    }
    void prepare(CSmtpSession& session) {
        session.setSocketFactory(&factory);
        session.setMessageStamps(&stamps);
        session.setProgressHost(&progress);
        session.setServer("mail.example");
        session.setHelo("nada");
        session.setFrom("anna@example.org");
        session.setTo("bo@example.org");
        session.setBody("Hej!");
    }

    CFakeSocketFactory factory;
    CScriptedProgressHost progress;
    CFixedStamps stamps;
    const std::string tempFile = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/forwarded";
};

TEST_F(CSmtpFaultTest, EveryStepCutOrSilentFailsUntilTheServerHasTheMessage) {
    const std::string sent = CStringTable::load(StringId::MessageSent);
    const auto steps = smtpSteps();
    for (std::size_t i = 0; i < steps.size(); ++i) {
        for (const Fault& fault : faultsOf(steps[i].reply)) {
            SCOPED_TRACE(std::string(steps[i].name) + ": " + fault.name());
            auto s = script(i, fault);
            CSmtpSession session;
            prepare(session);
            const int result = session.send();
            EXPECT_TRUE(s->finished()) << s->report();
            // Once the server has begun to answer the data it has the message; what QUIT meets
            // changes nothing. Before that, every fault fails the send with its reason.
            const bool taken = i == kQuit || (i == kEndOfData && !fault.arrives.empty());
            if (taken) {
                EXPECT_EQ(result, 1);
                EXPECT_EQ(session.getStatusText(), sent);
                continue;
            }
            EXPECT_EQ(result, 0);
            const std::string status = session.getStatusText();
            EXPECT_FALSE(status.empty());
            EXPECT_NE(status, sent);
            // A reply cut inside its code is refused as the odd reply it is; anything else
            // names the fault.
            const bool refusedAsReply = !fault.arrives.empty() && fault.arrives.size() < 3 &&
                                        i != kMailFrom && i < kDataStep;
            if (!refusedAsReply) {
                EXPECT_NE(status.find(fault.stall ? kSilent : kLost), std::string::npos) << status;
            }
            EXPECT_FALSE(fileExists(tempFile));
        }
    }
}

TEST_F(CSmtpFaultTest, TheQuotedSenderCutOrSilentFailsTheSend) {
    for (const Fault& fault : faultsOf("250 OK\r\n")) {
        SCOPED_TRACE(fault.name());
        auto s = factory.addScript();
        s->server("220 ready\r\n").client("HELO nada\r\n").server("250 mail.example\r\n");
        s->client("MAIL FROM: <anna@example.org>\r\n").server("501 syntax\r\n");
        s->client(kQuotedSender);
        if (!fault.arrives.empty())
            s->server(fault.arrives);
        if (fault.arrives.size() >= 3)
            s->client("RCPT TO:<bo@example.org>\r\n");
        if (fault.arrives.empty() || fault.arrives.size() >= 3) {
            if (fault.stall)
                s->stall();
            else
                s->drop();
        }
        CSmtpSession session;
        prepare(session);
        EXPECT_EQ(session.send(), 0);
        const std::string status = session.getStatusText();
        EXPECT_TRUE(status.find("MAIL FROM:") != std::string::npos ||
                    status.find("RCPT TO:") != std::string::npos)
            << status;
        EXPECT_TRUE(s->finished()) << s->report();
    }
}

TEST_F(CSmtpFaultTest, AForwardCutAtOrAfterTheDataUsesUpTheRetrievedFile) {
    const std::string retrieved = "Subject: fram\r\n\r\n..rad\r\n.\r\n";
    for (const Fault& fault :
         {Fault{"", false}, Fault{"", true}, Fault{"354", false}, Fault{"250", false}}) {
        for (std::size_t step : {kDataStep, kEndOfData}) {
            SCOPED_TRACE(std::to_string(step) + ": " + fault.name());
            {
                std::ofstream out(tempFile, std::ios::binary);
                out << retrieved;
            }
            // The retrieved file already ends the data: nothing is added after it.
            auto s = script(step, fault, retrieved);
            CSmtpSession session;
            prepare(session);
            session.setForwardFile(tempFile);
            const int result = session.send();
            EXPECT_TRUE(s->finished()) << s->report();
            EXPECT_EQ(result, step == kEndOfData && fault.arrives.starts_with('2') ? 1 : 0);
            // Without a go-ahead for DATA the file was never sent: it stays for the forward flow,
            // which removes it. Once sent, it is gone whatever follows.
            const bool sentFile = step == kEndOfData || fault.arrives.starts_with('3');
            EXPECT_EQ(fileExists(tempFile), !sentFile);
            ::unlink(tempFile.c_str());
        }
    }
}

} // namespace
