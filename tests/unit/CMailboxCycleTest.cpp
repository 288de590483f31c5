// What the mailbox cycle writes to a POP3 server, byte for byte: one command at a time unless
// pipelining is allowed and the server lists it, then runs of TOP and DELE written together.
#include "app/CMailboxCycle.h"
#include "pop3/CPop3Session.h"
#include "support/CFakeSocketFactory.h"
#include "support/CScriptedMailboxWindow.h"
#include "support/CScriptedProgressHost.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <new>

namespace {

const std::string kTop1 = "+OK\r\nFrom: a1@x\r\n\r\n.\r\n";
const std::string kTop2 = "+OK\r\nFrom: a2@x\r\n\r\n.\r\n";
const std::string kTop3 = "+OK\r\nFrom: a3@x\r\n\r\n.\r\n";

void logIn(CFakeScript& s, bool pipelining) {
    s.server("+OK ready\r\n");
    if (pipelining) {
        s.client("CAPA\r\n").server("+OK\r\nTOP\r\nUIDL\r\nPIPELINING\r\n.\r\n");
        // STAT goes in the same write; its answer follows.
        s.client("USER anna\r\nPASS hemligt\r\nSTAT\r\n").server("+OK\r\n+OK\r\n");
        return;
    }
    s.client("CAPA\r\n").server("-ERR\r\n");
    s.client("USER anna\r\n").server("+OK\r\n").client("PASS hemligt\r\n").server("+OK\r\n");
}

void uidlAndList(CFakeScript& s, bool pipelining, const std::string& uidl, const std::string& list,
                 const std::string& stat, const std::string& tops = "") {
    if (pipelining) { // with the proof of what they said, and the first header requests
        s.client("UIDL\r\nLIST\r\nSTAT\r\n" + tops).server(uidl + list + stat);
        return;
    }
    s.client("UIDL\r\n").server(uidl).client("LIST\r\n").server(list);
}

class CMailboxCycleTranscript : public ::testing::TestWithParam<bool> {
protected:
    CMailboxCycleTranscript() : cycle(pop3, window) {
        pop3.setSocketFactory(&factory);
        pop3.setPort(110);
        pop3.setPipeliningAllowed(GetParam());
        cycle.setProgressHost(&progress);
    }

    CFakeSocketFactory factory;
    CScriptedProgressHost progress;
    CPop3Session pop3;
    CScriptedMailboxWindow window;
    CMailboxCycle cycle;
};

TEST_P(CMailboxCycleTranscript, LoadDeleteAndReconnect) {
    const bool pipelining = GetParam();
    auto first = factory.addScript();
    logIn(*first, pipelining);
    if (!pipelining)
        first->client("STAT\r\n");
    first->server("+OK 3 300\r\n");
    uidlAndList(*first, pipelining, "+OK\r\n1 a\r\n2 b\r\n3 c\r\n.\r\n",
                "+OK\r\n1 100\r\n2 100\r\n3 100\r\n.\r\n", "+OK 3 300\r\n",
                "TOP 1 0\r\nTOP 2 0\r\nTOP 3 0\r\n");
    if (pipelining) {
        // Each run ends with the proof that it stayed in step: STAT counts what is left.
        first->client("STAT\r\n").server(kTop1 + kTop2 + kTop3 + "+OK 3 300\r\n");
        first->client("DELE 1\r\nDELE 3\r\nSTAT\r\n").server("+OK\r\n-ERR locked\r\n+OK 2 200\r\n");
    } else {
        first->client("TOP 1 0\r\n").server(kTop1).client("TOP 2 0\r\n").server(kTop2);
        first->client("TOP 3 0\r\n").server(kTop3);
        first->client("DELE 1\r\n")
            .server("+OK\r\n")
            .client("DELE 3\r\n")
            .server("-ERR locked\r\n");
    }
    first->client("QUIT\r\n").server("+OK\r\n");
    auto second = factory.addScript();
    logIn(*second, pipelining);
    if (!pipelining)
        second->client("STAT\r\n");
    second->server("+OK 2 200\r\n");
    uidlAndList(*second, pipelining, "+OK\r\n1 b\r\n2 c\r\n.\r\n", "+OK\r\n1 100\r\n2 100\r\n.\r\n",
                "+OK 2 200\r\n");

    cycle.connectOrDisconnect();
    ASSERT_EQ(window.rows.size(), 3u) << window.status;
    EXPECT_EQ(window.rows[2].first, "3. a3@x");
    cycle.deleteRows({0, 2});
    EXPECT_TRUE(first->finished()) << first->report();
    EXPECT_TRUE(second->finished()) << second->report();
    // The refused DELE left its message, and no header was fetched again.
    ASSERT_EQ(window.rows.size(), 2u) << window.status;
    EXPECT_EQ(window.rows[0].first, "1. a2@x");
    EXPECT_EQ(window.rows[1].first, "2. a3@x");
    EXPECT_EQ(pop3.pipelining(), pipelining);
}

INSTANTIATE_TEST_SUITE_P(OneAtATimeAndPipelined, CMailboxCycleTranscript, ::testing::Bool());

// What the status line says, in order, as the cycle connects, loads and disconnects.
class CStatusHistoryWindow : public CScriptedMailboxWindow {
public:
    void setStatus(const std::string& text) override {
        CScriptedMailboxWindow::setStatus(text);
        history.push_back(text);
    }
    std::vector<std::string> history;
};

TEST(CMailboxCycleTexts, TheStatusLineSaysWhatTheCycleDoes) {
    CFakeSocketFactory factory;
    CPop3Session pop3;
    pop3.setSocketFactory(&factory);
    CStatusHistoryWindow window;
    CMailboxCycle cycle(pop3, window);
    auto s = factory.addScript();
    logIn(*s, false);
    s->client("STAT\r\n").server("+OK 2 2048\r\n");
    uidlAndList(*s, false, "-ERR\r\n", "+OK\r\n1 1024\r\n2 1024\r\n.\r\n", "");
    s->client("TOP 1 0\r\n").server(kTop1).client("TOP 2 0\r\n").server(kTop2);
    s->client("QUIT\r\n").server("+OK\r\n");
    cycle.connectOrDisconnect();
    cycle.disconnect();
    EXPECT_TRUE(s->finished()) << s->report();
    EXPECT_EQ(
        window.history,
        (std::vector<std::string>{
            "Ansluter till pop.example...", "Hämtar meddelandeinformation...",
            "Hämtar information om brev 1 av 2.", "Hämtar information om brev 2 av 2.",
            "Klar. Kontot har 2 brev på totalt 2.00 kB.", "Kopplar från...", "Frånkopplad."}));
}

// The password typed for a connect stays with the window alone, for its own reconnects (and
// "Återställ"), whatever the field holds later; the session keeps none after a login.
TEST(CMailboxCycleTexts, OnlyTheWindowKeepsThePasswordOfTheLastConnect) {
    CFakeSocketFactory factory;
    CPop3Session pop3;
    pop3.setSocketFactory(&factory);
    CScriptedMailboxWindow window;
    CMailboxCycle cycle(pop3, window);
    auto emptyMailbox = [](CFakeScript& s) {
        s.client("STAT\r\n").server("+OK 0 0\r\n").client("LIST\r\n").server("+OK\r\n.\r\n");
    };
    auto first = factory.addScript();
    logIn(*first, false);
    emptyMailbox(*first);
    first->client("QUIT\r\n").server("+OK\r\n");
    auto again = factory.addScript();
    logIn(*again, false);
    emptyMailbox(*again);
    auto own = factory.addScript();
    own->server("+OK\r\n").client("CAPA\r\n").server("-ERR\r\n");
    own->client("USER anna\r\n").server("+OK\r\n").client("PASS \r\n").server("-ERR\r\n");

    cycle.connectOrDisconnect();
    window.login.password = CSecret("annat");
    cycle.reloadAfterCancel("Avbrutet av användaren.");
    EXPECT_TRUE(cycle.isConnected()) << window.status;
    EXPECT_EQ(cycle.lastLogin().password.view(), "hemligt");
    EXPECT_FALSE(pop3.login());
    for (const auto& s : {first, again, own})
        EXPECT_TRUE(s->finished()) << s->report();
}

} // namespace

namespace {

// The main window's view that can misbehave: a hook runs after each row is appended.
class CHookedWindow : public CScriptedMailboxWindow {
public:
    void appendRow(const std::string& first, const std::string& subject, const std::string& date,
                   const std::string& size) override {
        CScriptedMailboxWindow::appendRow(first, subject, date, size);
        if (afterRow)
            afterRow(rows.size());
    }
    std::function<void(std::size_t)> afterRow;
};

class CMailboxCycleBounds : public ::testing::Test {
protected:
    CMailboxCycleBounds() : cycle(pop3, window) {
        pop3.setSocketFactory(&factory);
        pop3.setPort(110);
        cycle.setProgressHost(&progress);
    }
    static std::string listing(int count) {
        std::string list = "+OK\r\n";
        for (int n = 1; n <= count; ++n)
            list += std::to_string(n) + " 100\r\n";
        return list + ".\r\n";
    }

    CFakeSocketFactory factory;
    CScriptedProgressHost progress;
    CPop3Session pop3;
    CHookedWindow window;
    CMailboxCycle cycle;
};

// A count that LIST does not bear out ends the load with the reason, quick or full.
TEST_F(CMailboxCycleBounds, ACountThatListDoesNotBearOutEndsTheLoad) {
    for (const int quick : {1, INT_MAX}) {
        window.quick = quick;
        auto s = factory.addScript();
        logIn(*s, false);
        s->client("STAT\r\n").server("+OK 5 500\r\n");
        if (quick != 1)
            s->client("UIDL\r\n").server("-ERR\r\n");
        s->client("LIST\r\n").server(listing(2)).client("QUIT\r\n").server("+OK\r\n");
        cycle.connectOrDisconnect();
        EXPECT_EQ(window.status, "LIST: Servern listade 2 brev, men STAT angav 5.");
        EXPECT_TRUE(s->finished()) << s->report();
        EXPECT_TRUE(window.rows.empty());
        EXPECT_FALSE(window.pressed || cycle.isConnected());
    }
}

// Rows that cost no server command are many only as far as LIST went, and a long list of them
// has a window whose Avbryt ends the list where it is, the connection kept: in a quick load, and
// in the rest of a full load whose header requests the user stopped.
TEST_F(CMailboxCycleBounds, AvbrytEndsALongListOfRows) {
    const int count = CMailboxCycle::kQuietRowsMax + 5000;
    for (const bool quick : {true, false}) {
        SCOPED_TRACE(quick);
        window.quick = quick ? 1 : INT_MAX;
        progress.windows.clear();
        auto s = factory.addScript();
        logIn(*s, false);
        s->client("STAT\r\n").server("+OK " + std::to_string(count) + " 0\r\n");
        if (!quick)
            s->client("UIDL\r\n").server("-ERR\r\n");
        s->client("LIST\r\n").server(listing(count));
        if (!quick)
            s->client("TOP 1 0\r\n").action([&] { progress.cancelLatest(); }).server(kTop1);
        window.afterRow = [&](std::size_t rows) {
            if (rows == 5000)
                progress.cancelLatest();
        };
        cycle.connectOrDisconnect();
        EXPECT_TRUE(s->finished()) << s->report();
        EXPECT_EQ(progress.windows.size(), quick ? 1u : 2u);
        ASSERT_EQ(window.rows.size(), 5000u);
        EXPECT_EQ(window.rows[0].first, quick ? "1." : "1. a1@x");
        EXPECT_EQ(window.rows.back().first, quick ? "5000." : "5000.   100 bytes");
        EXPECT_EQ(window.status, "Avbrutet av användaren. Listan visar bara de första 5000 av " +
                                     std::to_string(count) + " brev.");
        EXPECT_TRUE(cycle.isConnected() && pop3.isConnected());
        s->client("QUIT\r\n").server("+OK\r\n");
        cycle.disconnect();
    }
}

// A command that runs out of memory ends with a text and the connection dropped without QUIT
// (so the server changes nothing), not with the end of the program.
TEST_F(CMailboxCycleBounds, RunningOutOfMemoryEndsTheCommandNotTheProgram) {
    window.quick = INT_MAX;
    auto s = factory.addScript();
    logIn(*s, false);
    s->client("STAT\r\n").server("+OK 2 200\r\n");
    s->client("UIDL\r\n").server("-ERR\r\n").client("LIST\r\n").server(listing(2));
    s->client("TOP 1 0\r\n").server(kTop1).client("TOP 2 0\r\n").server(kTop2);
    window.afterRow = [](std::size_t rows) {
        if (rows == 2)
            throw std::bad_alloc();
    };
    cycle.connectOrDisconnect();
    EXPECT_TRUE(s->finished()) << s->report();
    EXPECT_EQ(window.status, "Minnet räckte inte till, så kommandot avbröts.");
    EXPECT_TRUE(window.rows.empty());
    EXPECT_FALSE(window.pressed || cycle.isConnected() || pop3.isConnected());
}

} // namespace
