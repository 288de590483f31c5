// Avbryt while a session waits on a real loopback connection: the wait ends within 100 ms of the
// click unless the server answers within the short grace, and it cuts that one wait only.
#include "app/CMailboxCycle.h"
#include "platform/CProgressThread.h"
#include "platform/CWaitHook.h"
#include "pop3/CMessageDownload.h"
#include "pop3/CPop3Session.h"
#include "send/CSmtpSession.h"
#include "support/CLoopbackServer.h"
#include "support/CScriptedMailboxWindow.h"
#include "support/CScriptedProgressHost.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

long long msSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

const std::string kCancelled = "Avbrutet av användaren.";

// The user as the blocked operation's wait hook meets them: clicks Avbryt on the latest window
// once `when` holds.
struct CUser {
    CUser(CScriptedProgressHost& host, std::function<bool()> when) {
        CWaitHook::set([this, &host, when = std::move(when)] {
            if (!clicked && !host.windows.empty() && when()) {
                host.cancelLatest();
                clickedAt = Clock::now();
                clicked = true;
            }
        });
    }
    ~CUser() { CWaitHook::set(nullptr); }

    std::atomic<bool> clicked{false};
    Clock::time_point clickedAt;
};

void answer(CLoopbackServer& s, const std::string& reply) {
    s.readLine();
    s.send(reply);
}

void logIn(CLoopbackServer& s) {
    s.send("+OK ready\r\n");
    answer(s, "-ERR\r\n"); // CAPA
    answer(s, "+OK\r\n");  // USER
    answer(s, "+OK\r\n");  // PASS
}

class CCancelWaitTest : public ::testing::Test {
protected:
    void TearDown() override { ::unlink(forwarded.c_str()); }
    void connect(CPop3Session& session, const CLoopbackServer& server) {
        session.setHost("127.0.0.1");
        session.setPort(server.port());
        ASSERT_TRUE(session.login()) << session.getErrorText();
    }

    CScriptedProgressHost host;
    const std::string forwarded = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/forwarded";
};

TEST_F(CCancelWaitTest, AStalledTopOrRetrEndsWithinTheGraceOfTheClick) {
    for (bool top : {true, false}) {
        SCOPED_TRACE(top ? "TOP under the header load's window" : "RETR with its own window");
        CLoopbackServer server([&](CLoopbackServer& s) {
            logIn(s);
            if (top) {
                answer(s, "+OK\r\nFrom: a@b\r\n");
            } else {
                answer(s, "+OK 1 100000\r\n");
                answer(s, "+OK\r\n1 100000\r\n.\r\n");
                answer(s, "+OK\r\n" + std::string(20000, 'x'));
            }
            s.waitFor();
        });
        CPop3Session session;
        connect(session, server);
        CProgressThread load;
        load.SetTotal(5);
        load.start(&host);
        const auto start = Clock::now();
        CUser user(host, [&] { return msSince(start) >= 150; });

        CMessageDownload download(session, &host, nullptr);
        EXPECT_FALSE(top ? session.top(1, 0) : session.stat() && session.list() && download.run(1));
        ASSERT_TRUE(user.clicked);
        EXPECT_LT(msSince(user.clickedAt), 100);
        EXPECT_EQ(session.getErrorText(), (top ? "TOP: " : "RETR: ") + kCancelled);
        EXPECT_FALSE(session.isConnected());
        EXPECT_EQ(filesInTempFolder(), 0);
    }
}

TEST_F(CCancelWaitTest, AReplyWithinTheGraceCompletesAndTheCancelCutsNoLaterWait) {
    std::atomic<CUser*> user{nullptr};
    CLoopbackServer server([&](CLoopbackServer& s) {
        logIn(s);
        s.readLine(); // TOP
        s.waitFor([&] { return user.load() && user.load()->clicked; });
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        s.send("+OK\r\nFrom: a@b\r\n\r\n.\r\n");
        s.readLine(); // NOOP, answered later than the grace
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        s.send("+OK\r\n");
    });
    CPop3Session session;
    connect(session, server);
    CProgressThread load;
    load.SetTotal(5);
    load.start(&host);
    const auto start = Clock::now();
    CUser clicking(host, [&] { return msSince(start) >= 100; });
    user = &clicking;

    EXPECT_TRUE(session.top(1, 0)) << session.getErrorText();
    EXPECT_EQ(session.getReplyText(), "From: a@b\r\n\r\n.\r\n");
    EXPECT_TRUE(session.noop()) << session.getErrorText();
    EXPECT_FALSE(load.IsProgressRunning()); // the operation stops at its own check
}

TEST_F(CCancelWaitTest, AForwardBlockedOnAFullSocketEndsWithinTheGraceOfTheClick) {
    std::ofstream(forwarded, std::ios::binary) << std::string(16u << 20, 'f'); // beyond any buffer
    CLoopbackServer server([](CLoopbackServer& s) {
        s.send("220 ready\r\n");
        for (int i = 0; i < 3; ++i) // HELO, MAIL FROM, RCPT TO
            answer(s, "250 ok\r\n");
        answer(s, "354 go ahead\r\n");
        s.waitFor(); // reads none of the data
    });
    CSmtpSession smtp;
    smtp.setProgressHost(&host);
    smtp.setServer("127.0.0.1");
    smtp.setPort(server.port());
    smtp.setFrom("anna@example.org");
    smtp.setForwardFile(forwarded);
    // Clicks once the bar has stood still for three runs of the hook: the send is stuck.
    int last = -1, still = 0;
    CUser user(host, [&] {
        const int position = host.windows.back()->position.load();
        still = position == last ? still + 1 : 0;
        last = position;
        return still >= 3;
    });

    EXPECT_EQ(smtp.send(), 0);
    ASSERT_TRUE(user.clicked);
    EXPECT_LT(msSince(user.clickedAt), 100);
    EXPECT_EQ(smtp.getStatusText(), "Forwardning avbruten.");
    EXPECT_EQ(::access(forwarded.c_str(), F_OK), -1);
}

TEST_F(CCancelWaitTest, ADeleteRunStoppedOnASilentServerEndsDisconnectedWithoutWaitingAgain) {
    CLoopbackServer server([](CLoopbackServer& s) {
        logIn(s);
        answer(s, "+OK 5 500\r\n");
        answer(s, "+OK\r\n1 a\r\n2 b\r\n3 c\r\n4 d\r\n5 e\r\n.\r\n");
        answer(s, "+OK\r\n1 100\r\n2 100\r\n3 100\r\n4 100\r\n5 100\r\n.\r\n");
        for (int n = 1; n <= 5; ++n)
            answer(s, "+OK\r\nFrom: a" + std::to_string(n) + "@b\r\n\r\n.\r\n");
        answer(s, "+OK\r\n"); // DELE 1
        answer(s, "+OK\r\n"); // DELE 2
        s.waitFor();          // and nothing more, to DELE 3 or to anyone who connects again
    });
    CPop3Session session;
    CScriptedMailboxWindow window;
    window.login.server = "127.0.0.1";
    session.setPort(server.port());
    CMailboxCycle cycle(session, window);
    cycle.setProgressHost(&host);
    cycle.connectOrDisconnect();
    ASSERT_EQ(window.rows.size(), 5u) << window.status;
    const auto start = Clock::now();
    CUser user(host, [&] { return msSince(start) >= 100; });

    cycle.deleteRows({0, 1, 2, 3, 4});
    ASSERT_TRUE(user.clicked);
    EXPECT_LT(msSince(user.clickedAt), 500);
    EXPECT_FALSE(cycle.isConnected());
    EXPECT_TRUE(window.rows.empty());
    EXPECT_EQ(window.status, "DELE: " + kCancelled);
    EXPECT_EQ(session.messageTable().rowCount(), 5); // no QUIT, no deletion, no marked row
    EXPECT_EQ(session.messageTable().isDeleted(1), false);
}

TEST_F(CCancelWaitTest, TheHookRunsEvery50MsThroughADownloadThatNeverWaits) {
    CLoopbackServer server([&](CLoopbackServer& s) {
        logIn(s);
        answer(s, "+OK 1 6000005\r\n");
        answer(s, "+OK\r\n1 6000005\r\n.\r\n");
        // Bytes keep coming for a while: the download is never idle long enough to paint.
        s.readLine();
        s.send("+OK\r\n");
        for (int i = 0; i < 200; ++i) {
            s.send(std::string(30000, 'm'));
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        s.send("\r\n.\r\n");
        s.waitFor();
    });
    CPop3Session session;
    connect(session, server);
    ASSERT_TRUE(session.stat() && session.list());
    std::vector<Clock::time_point> runs{Clock::now()};
    CWaitHook::set([&] { runs.push_back(Clock::now()); });
    CMessageDownload download(session, &host, nullptr);
    ASSERT_TRUE(download.run(1)) << session.getErrorText();
    CWaitHook::set(nullptr);

    runs.push_back(Clock::now());
    std::vector<long long> gaps;
    for (std::size_t i = 1; i < runs.size(); ++i)
        gaps.push_back(
            std::chrono::duration_cast<std::chrono::milliseconds>(runs[i] - runs[i - 1]).count());
    EXPECT_GT(gaps.size(), 4u);
    EXPECT_LE(*std::max_element(gaps.begin(), gaps.end()), 50);
}

} // namespace
