// Seeded random use of the mailbox against a model server: connect and load, mark and delete,
// forward with delete, Avbryt in the middle of a run (as a command goes out or as an answer
// comes in), a connection that drops anywhere (QUIT included, before and after the server
// commits), a reply lost, doubled or preceded by a stray one anywhere (inside a pipelined window
// too), a UIDL refused or listed wrongly after a connect that keyed the rows, another client
// deleting and delivering between connects, with and without unique ids. After every step each
// list row must name the message the server holds at that number, and the server may have lost
// only messages whose deletion the user confirmed and the server committed (a forwarded one only
// once it went out); no DELE reaches the server after the user's Avbryt, and the server commits
// exactly the deletions the delete run's window counted (or none). The message table that
// the marking commands and the downloads of a reply or a forward read (sizes, and the header
// rows a load kept) names the server's messages too, after quick loads as after full ones.
// A server without unique ids is tested with another client that only delivers: rows by number
// cannot notice a removal that leaves the count as it was. Runs of commands go one at a time or
// pipelined, as the server and the setting allow.
#include "app/CMailboxCycle.h"
#include "app/CSizeText.h"
#include "pop3/CPop3Session.h"
#include "send/CForwardRun.h"
#include "send/CSmtpLogin.h"
#include "send/CSmtpSession.h"
#include "send/IForwardHost.h"
#include "support/CModelPop3Server.h"
#include "support/CModelSmtpServer.h"
#include "support/CScriptedMailboxWindow.h"
#include "support/CScriptedProgressHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string kUidHeader = "X-Model-Uid: ";

class CModelForwardHost : public IForwardHost {
public:
    CModelForwardHost(CMailboxCycle& cycle, CScriptedMailboxWindow& window,
                      CScriptedProgressHost& progress)
        : cycle_(cycle), window_(window), progress_(progress) {}
    IProgressHost* progressHost() override { return &progress_; }
    IMessageBoxHost* messageBoxHost() override { return nullptr; }
    void setStatus(const std::string& text) override { window_.setStatus(text); }
    void notify(const std::string&) override {}
    void disconnect() override { cycle_.disconnect(); }
    void connectOrDisconnect() override { cycle_.connectOrDisconnect(); }
    bool isConnected() const override { return cycle_.isConnected(); }
    void reloadAfterCancel(const std::string& cancelled) override {
        cycle_.reloadAfterCancel(cancelled);
    }

private:
    CMailboxCycle& cycle_;
    CScriptedMailboxWindow& window_;
    CScriptedProgressHost& progress_;
};

// One seeded run: the program with its window, the two servers, and the ledger of what the
// server may have lost.
class CModelRun {
public:
    explicit CModelRun(unsigned seed)
        : rng_(seed), cycle_(pop3_, window_), host_(cycle_, window_, progress_) {
        pop3_.setSocketFactory(&server_);
        pop3_.setPort(110);
        smtp_.setSocketFactory(&sink_);
        smtp_.setProgressHost(&progress_);
        smtp_.setServer("smtp.example");
        smtp_.setHelo("model");
        cycle_.setProgressHost(&progress_);
        server_.answersUidl = seed % 2 == 0;
        server_.listsPipelining = seed % 4 != 1;
        pop3_.setPipeliningAllowed(seed % 3 != 0);
        if (seed % 7 == 3)
            window_.quick = 4; // larger mailboxes list numbers only
        for (int n = pick(0, 7); n > 0; --n)
            deliver();
        server_.onCommand = [this](const std::string& command) {
            const auto& windows = progress_.windows;
            if (command.rfind("DELE", 0) == 0 && windows.size() > deleteWindow_ &&
                windows[deleteWindow_]->cancelled)
                ADD_FAILURE() << command << " after Avbryt";
            countDown(cancelOnCommand_);
        };
        server_.onReceive = [this] { countDown(cancelOnReceive_); };
    }

    // One action a user, the network or another client could take; its name for the trace.
    std::string step() {
        if (!cycle_.isConnected())
            return disconnectedStep();
        const int roll = pick(0, 99);
        if (roll < 25)
            return deleteSome();
        if (roll < 45)
            return forwardSome();
        if (roll < 58) {
            cycle_.disconnect();
            return "disconnect";
        }
        if (roll < 66) {
            cycle_.onKeepAliveTick();
            return "keep-alive";
        }
        if (roll < 74 && !window_.rows.empty()) {
            cycle_.viewRows({pick(0, static_cast<int>(window_.rows.size()) - 1)});
            return "view";
        }
        if (roll < 82)
            return armDrop();
        if (roll < 90)
            return armReplyFault();
        return armCancel();
    }

    // The list and the server agree, and nothing was lost that the user did not give up.
    void check(const std::string& trace) {
        const auto& mailbox = server_.mailbox;
        if (!cycle_.isConnected()) {
            EXPECT_TRUE(window_.rows.empty()) << trace;
        } else {
            ASSERT_TRUE(server_.inSession) << trace;
            ASSERT_EQ(window_.rows.size(), mailbox.size()) << trace << window_.status;
            for (std::size_t i = 0; i < mailbox.size(); ++i)
                checkRow(window_.rows[i], static_cast<int>(i + 1), mailbox[i], trace);
            checkTable(trace);
        }
        std::set<std::string> present;
        for (const auto& m : mailbox)
            present.insert(m.uid);
        // A forwarded message may go once the sink has taken it.
        for (const auto& sent : sink_.taken) {
            const std::size_t at = sent.find(kUidHeader) + kUidHeader.size();
            mayLose_.insert(sent.substr(at, sent.find("\r\n", at) - at));
        }
        for (const std::string& uid : delivered_) {
            if (!present.count(uid)) {
                EXPECT_TRUE(mayLose_.count(uid)) << "lost " << uid << trace;
            }
        }
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool chance(int percent) { return pick(0, 99) < percent; }

    void deliver() {
        const std::string n = std::to_string(++delivered_count_);
        const auto& m = server_.deliver("Avs " + n + " <a" + n + "@example.org>", "Subject " + n,
                                        std::string(static_cast<std::size_t>(pick(1, 300)), 'x'));
        delivered_.push_back(m.uid);
    }

    std::string disconnectedStep() {
        const int roll = pick(0, 99);
        // Without unique ids a message that another client removed cannot be told from the one
        // that took its number: that client only delivers then.
        if (roll < 15 && !server_.mailbox.empty() && server_.answersUidl) {
            const int n = pick(1, static_cast<int>(server_.mailbox.size()));
            const std::string uid = server_.mailbox[static_cast<std::size_t>(n - 1)].uid;
            if (server_.removeByOtherClient(n))
                mayLose_.insert(uid);
            return "other client deletes " + std::to_string(n);
        }
        if (roll < 30) {
            deliver();
            return "other client delivers";
        }
        std::string armed;
        if (roll < 40)
            armed = armReplyFault() + ", ";
        else if (roll < 50 && keyedOnce_)
            armed = armUidlFault() + ", ";
        cycle_.connectOrDisconnect();
        keyedOnce_ = keyedOnce_ || (cycle_.isConnected() && server_.listedUids);
        return armed + "connect";
    }

    // Some rows, ascending; the messages they name are the ones the user gives up.
    std::vector<int> someRows(bool givenUp) {
        std::vector<int> rows;
        for (int r = 0; r < static_cast<int>(window_.rows.size()); ++r)
            if (chance(40))
                rows.push_back(r);
        if (givenUp)
            for (int r : rows)
                mayLose_.insert(server_.mailbox[static_cast<std::size_t>(r)].uid);
        return rows;
    }

    std::string deleteSome() {
        window_.answerYes = chance(85);
        std::vector<int> rows = someRows(window_.answerYes);
        if (!rows.empty() && chance(20))
            server_.refuseDeleOf = {server_.mailbox[static_cast<std::size_t>(rows[0])].uid};
        // Only a pipelined run's proof can tell: one command at a time goes as it always went.
        server_.liesAboutRefusals = pop3_.pipelining() && chance(50);
        deleteWindow_ = progress_.windows.size(); // the run's own, if it opens one
        const std::size_t before = server_.mailbox.size();
        cycle_.deleteRows(rows);
        if (progress_.windows.size() > deleteWindow_ &&
            progress_.windows[deleteWindow_]->cancelled) {
            const auto committed = static_cast<int>(before - server_.mailbox.size());
            const int shown = progress_.windows[deleteWindow_]->position;
            EXPECT_TRUE(committed == 0 || committed == shown)
                << committed << " committed, " << shown << " shown";
        }
        deleteWindow_ = SIZE_MAX;
        server_.refuseDeleOf.clear();
        return "delete " + std::to_string(rows.size()) + (window_.answerYes ? "" : " (no)");
    }

    std::string forwardSome() {
        const bool deleteAfter = chance(60);
        std::vector<int> rows = someRows(false); // only what went out may go
        sink_.refuseNext = chance(30);
        CForwardRun(pop3_, smtp_, host_).run(rows, "vidare@example.org", deleteAfter, {});
        return "forward " + std::to_string(rows.size()) + (deleteAfter ? " and delete" : "");
    }

    std::string armDrop() {
        server_.dropAtCommand = server_.commands + pick(1, 12);
        server_.commitBeforeDrop = chance(50);
        return "drop at command " + std::to_string(server_.dropAtCommand) +
               (server_.commitBeforeDrop ? " (a QUIT commits first)" : "");
    }

    // Lost, doubled or stray, within the next commands: a load's or a delete's window is
    // likely among them.
    std::string armReplyFault() {
        using Fault = CModelPop3Server::ReplyFault;
        server_.faultAtCommand =
            server_.commands + pick(1, 8 + static_cast<int>(server_.mailbox.size()));
        server_.replyFault = static_cast<Fault>(pick(0, 3));
        return "reply fault " + std::to_string(static_cast<int>(server_.replyFault)) +
               " at command " + std::to_string(server_.faultAtCommand);
    }

    std::string armUidlFault() {
        using Fault = CModelPop3Server::UidlFault;
        server_.nextUidl = static_cast<Fault>(pick(1, static_cast<int>(Fault::Missing)));
        return "UIDL fault " + std::to_string(static_cast<int>(server_.nextUidl));
    }

    // Avbryt as a command goes out or as an answer comes in.
    std::string armCancel() {
        (chance(50) ? cancelOnCommand_ : cancelOnReceive_) = pick(1, 8);
        return "Avbryt soon";
    }

    void countDown(int& countdown) {
        if (countdown > 0 && --countdown == 0 && !progress_.windows.empty())
            progress_.cancelLatest();
    }

    void checkRow(const CScriptedMailboxWindow::Row& row, int n, const CModelPop3Server::Message& m,
                  const std::string& trace) {
        const std::string number = std::to_string(n) + ".";
        const std::string size = CSizeText::formatSize(static_cast<double>(m.text().size()));
        if (row.first == number || row.first == number + "  " + size)
            return; // numbers only: a quick load, or the rest of a cancelled one
        EXPECT_EQ(row.first, number + " " + m.from) << trace;
        EXPECT_EQ(row.subject, m.subject) << trace;
        if (window_.quick > static_cast<int>(server_.mailbox.size())) {
            EXPECT_EQ(row.size, size) << trace;
        }
    }

    // Every size LIST gave, and every header row the table holds, is that of the message the
    // server holds at its number.
    void checkTable(const std::string& trace) {
        const MessageTable& table = pop3_.messageTable();
        const auto& mailbox = server_.mailbox;
        ASSERT_EQ(table.sizeCount(), static_cast<int>(mailbox.size())) << trace;
        for (int n = 1; n <= std::max(table.rowCount(), table.sizeCount()); ++n) {
            if (n > table.sizeCount()) {
                EXPECT_FALSE(table.hasSummary(n)) << "row " << n << trace;
                continue;
            }
            const CModelPop3Server::Message& m = mailbox[static_cast<std::size_t>(n - 1)];
            EXPECT_EQ(table.sizeOf(n), static_cast<double>(m.text().size())) << trace;
            if (table.hasSummary(n) && !table.isDeleted(n)) {
                EXPECT_EQ(table.senderOf(n), m.from) << "row " << n << trace;
                EXPECT_EQ(table.subjectOf(n), m.subject) << "row " << n << trace;
            }
        }
    }

    std::mt19937 rng_;
    CModelPop3Server server_;
    CModelSmtpServer sink_;
    CScriptedProgressHost progress_;
    CPop3Session pop3_;
    CSmtpSession smtp_;
    CScriptedMailboxWindow window_;
    CMailboxCycle cycle_;
    CModelForwardHost host_;
    int delivered_count_ = 0;
    int cancelOnCommand_ = 0;
    int cancelOnReceive_ = 0;
    std::size_t deleteWindow_ = SIZE_MAX;
    bool keyedOnce_ = false; // a load proven in step read the ids as they are
    std::vector<std::string> delivered_;
    std::set<std::string> mayLose_;
};

} // namespace

TEST(CMailboxModel, RowsNameTheServersMessagesAndNothingIsLost) {
    for (unsigned seed = 0; seed < 500; ++seed) {
        CModelRun run(seed);
        std::string trace = "\nseed " + std::to_string(seed) + ":";
        for (int step = 0; step < 24 && !::testing::Test::HasFatalFailure(); ++step) {
            trace += " " + run.step() + ";";
            run.check(trace);
        }
        if (::testing::Test::HasFailure())
            break; // one failing seed says it all
    }
}
