#include "CScriptedDialogRunner.h"
#include "app/CMaroketDlg.h"
#include "app/CSizeText.h"
#include "dialogs/CContentDlg.h"
#include "dialogs/CSettingsDlg.h"
#include "dialogs/IdText.h"
#include "peers/CDovecotPeer.h"
#include "pop3/CPop3Session.h"
#include "resources/CStringTable.h"
#include "support/CFakeSocketFactory.h"
#include "support/CMemorySettingsStore.h"
#include "support/CModelPop3Server.h"
#include "support/CRecordingSocketFactory.h"
#include "support/CScriptedProgressHost.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

// The size a server lists: the stored message with CRLF line ends.
double listedSize(const std::string& stored) {
    return static_cast<double>(stored.size() + std::count(stored.begin(), stored.end(), '\n'));
}

std::string message(int n, int bodyBytes = 100) {
    return "From: Avs" + std::to_string(n) + " <a" + std::to_string(n) +
           "@example.org>\nSubject: =?iso-8859-1?Q?=C4rende_" + std::to_string(n) +
           "?=\nDate: Tue, 8 Dec 2026 10:0" + std::to_string(n % 10) + ":00 +0100\n\n" +
           std::string(static_cast<std::size_t>(bodyBytes), 'x') + "\n";
}

// The main window against a test's own server: scripted prompts and progress windows.
class CMailboxWindow {
public:
    CMailboxWindow() : window(store, runner) {
        window.setProgressHost(&progress);
        window.pop3().setSocketFactory(&sockets);
    }
    QLineEdit* edit(const QString& id) {
        for (auto* e : window.findChildren<QLineEdit*>(id))
            if (e->window() == &window)
                return e;
        return nullptr;
    }
    void typeLogin(const std::string& server, int port, const std::string& user,
                   const std::string& password) {
        window.settingsDlg().settings().port = port;
        window.pop3().setPort(port);
        edit(idText(ControlId::ServerEdit))->setText(QString::fromStdString(server));
        edit(idText(ControlId::AccountEdit))->setText(QString::fromStdString(user));
        edit(idText(ControlId::PasswordEdit))->setText(QString::fromStdString(password));
    }
    QStringList column(int c) const {
        QStringList texts;
        for (int i = 0; i < window.list()->topLevelItemCount(); ++i)
            texts << window.list()->topLevelItem(i)->text(c);
        return texts;
    }
    void select(std::initializer_list<int> messages) {
        window.list()->clearSelection();
        for (int n : messages)
            window.list()->topLevelItem(n - 1)->setSelected(true);
    }

    CMemorySettingsStore store;
    CScriptedDialogRunner runner;
    CScriptedProgressHost progress;
    CRecordingSocketFactory sockets;
    CMaroketDlg window;
};

class CMailboxCycleTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(peer.start(error)) << error;
    }
    void fill(int messages) {
        for (int n = 1; n <= messages; ++n) {
            stored.push_back(message(n, 100 * n));
            ASSERT_TRUE(peer.addMessage(stored.back()));
        }
    }
    void connect(CMailboxWindow& w) {
        w.typeLogin(peer.host(), peer.port(), peer.user(), peer.password());
        w.window.onCommand(CommandId::Connect);
        ASSERT_TRUE(w.window.isConnected()) << w.window.statusText() << peer.log();
    }
    std::string doneText(int count) const {
        double total = 0;
        for (const auto& m : stored)
            total += listedSize(m);
        return "Klar. Kontot har " + std::to_string(count) + " brev på totalt " +
               CSizeText::formatSize(total) + ".";
    }

    CDovecotPeer peer;
    std::vector<std::string> stored;
};

TEST_F(CMailboxCycleTest, LoadShowsEveryMessage) {
    fill(12);
    CMailboxWindow w;
    connect(w);
    EXPECT_EQ(w.window.statusText(), doneText(12));
    ASSERT_EQ(w.window.list()->topLevelItemCount(), 12);
    EXPECT_EQ(w.column(0)[0], "1. Avs1 <a1@example.org>");
    EXPECT_EQ(w.column(0)[11], "12. Avs12 <a12@example.org>");
    EXPECT_EQ(w.column(1)[2], utf8("Ärende 3"));
    EXPECT_EQ(w.column(2)[3], "Tue, 8 Dec 2026 10:04:00 +0100");
    EXPECT_EQ(w.column(3)[0], QString::fromStdString(CSizeText::formatSize(listedSize(stored[0]))));
    EXPECT_EQ(w.column(3)[11],
              QString::fromStdString(CSizeText::formatSize(listedSize(stored[11]))));
    EXPECT_TRUE(w.window.connectAction()->isChecked());
    EXPECT_TRUE(w.window.isTimerRunning(TimerId::KeepAlive));
    ASSERT_EQ(w.progress.windows.size(), 1u);
    EXPECT_EQ(w.progress.windows[0]->total, 12);
    EXPECT_EQ(w.progress.windows[0]->position.load(), 12);
    EXPECT_EQ(w.sockets.count("TOP"), 12);

    // Disconnect: QUIT, no rows, the cache kept.
    w.window.onCommand(CommandId::Connect);
    EXPECT_FALSE(w.window.isConnected());
    EXPECT_EQ(w.window.statusText(), "Frånkopplad.");
    EXPECT_EQ(w.window.list()->topLevelItemCount(), 0);
    EXPECT_FALSE(w.window.connectAction()->isChecked());
    EXPECT_EQ(w.sockets.count("QUIT"), 1);

    // The same account again: every row from the cache, no TOP, no window.
    w.sockets.clear();
    connect(w);
    EXPECT_EQ(w.window.list()->topLevelItemCount(), 12);
    EXPECT_EQ(w.column(0)[4], "5. Avs5 <a5@example.org>");
    EXPECT_EQ(w.sockets.count("TOP"), 0);
    EXPECT_EQ(w.progress.windows.size(), 1u);
}

TEST_F(CMailboxCycleTest, APipelinedLoadGivesTheRowsOfASequentialOne) {
    fill(30);
    CMailboxWindow pipelined;
    connect(pipelined);
    EXPECT_TRUE(pipelined.window.pop3().pipelining()); // Dovecot lists PIPELINING
    QList<QStringList> rows;
    for (int c = 0; c < 4; ++c)
        rows << pipelined.column(c);
    pipelined.window.onCommand(CommandId::Connect);

    CMailboxWindow sequential;
    sequential.window.pop3().setPipeliningAllowed(false);
    connect(sequential);
    EXPECT_FALSE(sequential.window.pop3().pipelining());
    EXPECT_EQ(sequential.sockets.count("CAPA"), 1); // asked, but not used
    EXPECT_EQ(sequential.window.statusText(), doneText(30));
    for (int c = 0; c < 4; ++c)
        EXPECT_TRUE(rows[c] == sequential.column(c)) << "column " << c;
}

TEST_F(CMailboxCycleTest, EmptyMailbox) {
    CMailboxWindow w;
    connect(w);
    EXPECT_EQ(w.window.statusText(), "Klar. Kontot har 0 brev på totalt    0 bytes.");
    EXPECT_EQ(w.window.list()->topLevelItemCount(), 0);
    EXPECT_TRUE(w.window.connectAction()->isChecked());
    EXPECT_TRUE(w.window.isTimerRunning(TimerId::KeepAlive));
    EXPECT_TRUE(w.progress.windows.empty());
}

TEST_F(CMailboxCycleTest, QuickLoginAtTheThresholdListsNumbersOnly) {
    fill(3);
    CMailboxWindow w;
    w.window.settingsDlg().settings().quickLogin = 3;
    connect(w);
    EXPECT_EQ(w.column(0), (QStringList{"1.", "2.", "3."}));
    EXPECT_EQ(w.column(1), (QStringList{"", "", ""}));
    // LIST only bears out the count: a row for a message the server does not list would cost
    // time and memory for nothing.
    EXPECT_EQ(w.sockets.count("LIST"), 1);
    EXPECT_EQ(w.sockets.count("TOP"), 0);
    EXPECT_FALSE(w.window.isFullLoad());
    EXPECT_EQ(w.window.statusText(), doneText(3));
}

TEST_F(CMailboxCycleTest, CancelledLoadShowsNumberAndSizeForTheRest) {
    fill(5);
    CMailboxWindow w;
    // One request at a time, so that the click lands while the second message is fetched.
    w.window.pop3().setPipeliningAllowed(false);
    w.sockets.onSend([&](const std::string& line) {
        if (line == "TOP 2 0\r\n")
            w.progress.cancelLatest();
    });
    connect(w);
    EXPECT_EQ(w.sockets.count("TOP"), 2);
    ASSERT_EQ(w.window.list()->topLevelItemCount(), 5);
    EXPECT_EQ(w.column(0)[1], "2. Avs2 <a2@example.org>");
    EXPECT_EQ(w.column(0)[2],
              QString::fromStdString("3.  " + CSizeText::formatSize(listedSize(stored[2]))));
    EXPECT_EQ(w.column(1)[4], "");
    EXPECT_EQ(w.window.statusText(), doneText(5));
    // The next connect fetches only what the cache lacks.
    w.window.onCommand(CommandId::Connect);
    w.sockets.clear();
    connect(w);
    EXPECT_EQ(w.sockets.count("TOP"), 3);
}

TEST_F(CMailboxCycleTest, AnotherAccountEmptiesTheCacheFirst) {
    fill(2);
    CMailboxWindow w;
    connect(w);
    w.window.onCommand(CommandId::Connect);
    ASSERT_EQ(w.window.pop3().messageTable().rowCount(), 2);
    w.typeLogin(peer.host(), peer.port(), "someone-else", "nope");
    w.window.onCommand(CommandId::Connect);
    EXPECT_FALSE(w.window.isConnected());
    EXPECT_EQ(w.window.pop3().messageTable().rowCount(), 0);
    EXPECT_EQ(w.window.statusText().rfind("PASS: -ERR", 0), 0u) << w.window.statusText();
}

TEST_F(CMailboxCycleTest, DeleteCommitsAndRebuildsFromTheCache) {
    fill(6);
    CMailboxWindow w;
    connect(w);

    w.select({2, 5});
    QString asked;
    w.runner.expectQuestion(false, &asked);
    w.window.onCommand(CommandId::Delete);
    EXPECT_EQ(asked, utf8("Är du säker på att du vill radera 2 brev?"));
    EXPECT_EQ(w.sockets.count("DELE"), 0);
    EXPECT_TRUE(w.window.isConnected());

    w.sockets.clear();
    w.runner.expectQuestion(true);
    w.window.onCommand(CommandId::Delete);
    EXPECT_EQ(w.sockets.count("DELE"), 2);
    EXPECT_EQ(w.sockets.sent()[0], "DELE 2\r\n");
    EXPECT_EQ(w.sockets.sent()[1], "DELE 5\r\n");
    EXPECT_EQ(w.sockets.count("TOP"), 0);
    EXPECT_EQ(w.progress.windows.size(), 1u); // only the first load's
    EXPECT_EQ(peer.messagesOnDisk(), 4);
    EXPECT_EQ(w.column(0), (QStringList{"1. Avs1 <a1@example.org>", "2. Avs3 <a3@example.org>",
                                        "3. Avs4 <a4@example.org>", "4. Avs6 <a6@example.org>"}));
    EXPECT_EQ(w.window.statusText(),
              "Klar. Kontot har 4 brev på totalt " +
                  CSizeText::formatSize(listedSize(stored[0]) + listedSize(stored[2]) +
                                        listedSize(stored[3]) + listedSize(stored[5])) +
                  ".");

    w.window.list()->clearSelection();
    w.window.onCommand(CommandId::Delete);
    EXPECT_EQ(w.window.statusText(), "Du måste markera minst ett brev innan du trycker Radera.");
}

TEST_F(CMailboxCycleTest, RowsFollowTheirMessagesWhenAnotherClientChangesTheMailbox) {
    fill(4);
    CMailboxWindow w;
    connect(w);
    w.window.onCommand(CommandId::Connect);

    // A phone deletes message 1 and a new message arrives: the count stays 4, every number
    // now names another message.
    CPop3Session phone;
    phone.setHost(peer.host());
    phone.setPort(peer.port());
    phone.setUser(peer.user());
    phone.setPassword(CSecret(peer.password()));
    ASSERT_TRUE(phone.login() && phone.dele(1) && phone.quit()) << phone.getErrorText();
    stored.push_back(message(5));
    ASSERT_TRUE(peer.addMessage(stored.back()));

    w.sockets.clear();
    connect(w);
    EXPECT_EQ(w.sockets.count("UIDL"), 1);
    EXPECT_EQ(w.sockets.count("TOP"), 1); // only the new message's headers
    EXPECT_EQ(w.column(0), (QStringList{"1. Avs2 <a2@example.org>", "2. Avs3 <a3@example.org>",
                                        "3. Avs4 <a4@example.org>", "4. Avs5 <a5@example.org>"}));
    EXPECT_EQ(w.column(1)[3], utf8("Ärende 5"));
}

TEST_F(CMailboxCycleTest, DeletingFiveShowsProgressAndCancelStopsTheWalk) {
    fill(10);
    CMailboxWindow w;
    connect(w);
    w.select({1, 2, 3, 4});
    w.runner.expectQuestion(true);
    w.window.onCommand(CommandId::Delete);
    EXPECT_EQ(w.progress.windows.size(), 1u); // four: no window
    ASSERT_EQ(w.window.list()->topLevelItemCount(), 6);

    w.select({1, 2, 3, 4, 5});
    w.runner.expectQuestion(true);
    w.sockets.clear();
    w.sockets.onSend([&](const std::string& line) {
        if (line == "DELE 2\r\n")
            w.progress.cancelLatest();
    });
    w.window.onCommand(CommandId::Delete);
    ASSERT_EQ(w.progress.windows.size(), 2u);
    EXPECT_EQ(w.progress.windows[1]->total, 5);
    EXPECT_EQ(w.sockets.count("DELE"), 2);
    EXPECT_EQ(w.window.list()->topLevelItemCount(), 4);
    EXPECT_EQ(peer.messagesOnDisk(), 4);
    EXPECT_EQ(w.column(0)[0], "1. Avs7 <a7@example.org>");
    EXPECT_EQ(w.sockets.count("TOP"), 0);
    EXPECT_EQ(w.window.statusText(), CStringTable::load(StringId::CancelledByUser) + " " +
                                         CStringTable::load(StringId::ListReloaded));
}

TEST_F(CMailboxCycleTest, ViewShowsTheFirstSelectedMessage) {
    fill(4);
    CMailboxWindow w;
    connect(w);
    w.window.list()->clearSelection();
    w.window.onCommand(CommandId::View);
    EXPECT_EQ(w.window.statusText(), "Du måste markera ett brev innan du trycker Granska.");
    // A double click below the rows, with nothing selected, gives the same hint.
    w.window.setStatus("");
    QWidget* rows = w.window.list()->viewport();
    QTest::mouseDClick(rows, Qt::LeftButton, {}, QPoint(5, rows->height() - 3));
    QTRY_COMPARE(QString::fromStdString(w.window.statusText()).isEmpty(), false);
    EXPECT_EQ(w.window.statusText(), "Du måste markera ett brev innan du trycker Granska.");

    w.select({2, 4});
    w.window.cycle().setPreviewLines(0);
    w.runner.expectDialog<CContentDlg>([](CContentDlg&) { return 1; });
    w.window.onCommand(CommandId::View);
    EXPECT_EQ(w.sockets.sent().back(), "TOP 2 0\r\n");
}

// Scripted servers for what no real one does on demand.
class CBusyAccountTest : public ::testing::Test {
protected:
    CBusyAccountTest() { w.window.pop3().setSocketFactory(&fake); }
    void busyReply(const std::string& reply) {
        fake.addScript()
            ->server("+OK\r\n")
            .client("CAPA\r\n")
            .server("-ERR unknown command\r\n")
            .client("USER u\r\n")
            .server("+OK\r\n")
            .client("PASS p\r\n")
            .server(reply);
    }
    CFakeSocketFactory fake;
    CMailboxWindow w;
};

TEST_F(CBusyAccountTest, BusyRepliesRetryByTheTable) {
    w.typeLogin("pop.example", 110, "u", "p");
    busyReply("-ERR [IN-USE] busy, try again\r\n");
    w.window.onCommand(CommandId::Connect);
    EXPECT_EQ(w.window.statusText(), "Kontot är upptaget. Försöker igen...");
    EXPECT_TRUE(w.window.isTimerRunning(TimerId::BusyRetry));
    EXPECT_FALSE(w.window.connectAction()->isChecked());
    for (int n = 2; n < CMailboxCycle::BusyRetries::giveUpAt; ++n) {
        busyReply("-ERR mailbox busy\r\n");
        w.window.onBusyRetryTick();
        EXPECT_EQ(w.window.busyRetryCount(), n);
        EXPECT_EQ(w.window.statusText(),
                  "Kontot är fortfarande upptaget. Tryck 'Nollställ' för att avbryta.");
    }
    busyReply("-ERR try again later\r\n");
    w.window.onBusyRetryTick();
    EXPECT_EQ(w.window.statusText(),
              "Kontot har varit upptaget i mer än fem minuter. Försöken avbrutna.");
    EXPECT_FALSE(w.window.isTimerRunning(TimerId::BusyRetry));
    EXPECT_EQ(w.window.busyRetryCount(), 0);
}

TEST_F(CBusyAccountTest, TypedLoginGoesOutAsUtf8AndTheServersRefusalReadsAsText) {
    w.typeLogin("pop.example", 110, "Łucja", "lösen€");
    fake.addScript()
        ->server("+OK\r\n")
        .client("CAPA\r\n")
        .server("-ERR unknown command\r\n")
        .client("USER Łucja\r\n")
        .server("+OK\r\n")
        .client("PASS lösen€\r\n")
        .server("-ERR fel l\xF6senord\r\n"); // the server's own ISO-8859-1
    w.window.onCommand(CommandId::Connect);
    EXPECT_EQ(w.window.statusText(), "PASS: -ERR fel lösenord\r\n");
}

TEST_F(CBusyAccountTest, TheRetryTimerFiresWithTheTablesPeriods) {
    w.window.setTimerPeriods(
        {.keepAliveMs = 30000, .firstRetryMs = 40, .retryMs = 80, .longRetryMs = 160});
    w.typeLogin("pop.example", 110, "u", "p");
    busyReply("-ERR busy\r\n");
    busyReply("-ERR busy\r\n");
    w.window.onCommand(CommandId::Connect);
    QElapsedTimer clock;
    clock.start();
    QTRY_COMPARE_WITH_TIMEOUT(w.window.busyRetryCount(), 2, 2000);
    EXPECT_GE(clock.elapsed(), 35);
    EXPECT_TRUE(w.window.isTimerRunning(TimerId::BusyRetry));
    // "Nollställ" while waiting stops the retries and keeps the fields.
    w.window.onCommand(CommandId::Reset);
    EXPECT_FALSE(w.window.isTimerRunning(TimerId::BusyRetry));
    EXPECT_EQ(w.window.statusText(), "Frånkopplad.");
    EXPECT_EQ(w.edit(idText(ControlId::AccountEdit))->text(), "u");
}

TEST_F(CBusyAccountTest, CapitalBusyIsAnOrdinaryRefusal) {
    w.typeLogin("pop.example", 110, "u", "p");
    busyReply("-ERR Busy\r\n");
    w.window.onCommand(CommandId::Connect);
    EXPECT_EQ(w.window.statusText(), "PASS: -ERR Busy\r\n");
    EXPECT_FALSE(w.window.isTimerRunning(TimerId::BusyRetry));
}

TEST_F(CMailboxCycleTest, KeepAliveSendsNoopThenDisconnectsOnTheTenthTick) {
    fill(1);
    CMailboxWindow w;
    connect(w);
    w.sockets.clear();
    for (int tick = 1; tick <= 9; ++tick)
        w.window.onKeepAliveTick();
    EXPECT_EQ(w.sockets.count("NOOP"), 9);
    EXPECT_TRUE(w.window.isConnected());
    w.window.onKeepAliveTick();
    EXPECT_EQ(w.sockets.count("NOOP"), 9);
    EXPECT_EQ(w.sockets.count("QUIT"), 1);
    EXPECT_FALSE(w.window.isConnected());
    EXPECT_FALSE(w.window.isTimerRunning(TimerId::KeepAlive));
}

TEST_F(CMailboxCycleTest, ResetClearsTheFieldsAndRestoreBringsThemBack) {
    fill(1);
    CMailboxWindow w;
    connect(w);
    w.edit(idText(ControlId::QuickToEdit))->setText("vem@example.org");
    w.window.onCommand(CommandId::Reset);
    EXPECT_FALSE(w.window.isConnected());
    EXPECT_EQ(w.edit(idText(ControlId::ServerEdit))->text(), "");
    EXPECT_EQ(w.edit(idText(ControlId::AccountEdit))->text(), "");
    EXPECT_EQ(w.edit(idText(ControlId::PasswordEdit))->text(), "");
    EXPECT_EQ(w.edit(idText(ControlId::QuickToEdit))->text(), "");
    w.window.onCommand(CommandId::Restore);
    EXPECT_EQ(w.edit(idText(ControlId::AccountEdit))->text(), QString::fromStdString(peer.user()));
    EXPECT_EQ(w.edit(idText(ControlId::PasswordEdit))->text(),
              QString::fromStdString(peer.password()));
    EXPECT_EQ(w.edit(idText(ControlId::QuickToEdit))->text(), "vem@example.org");
    EXPECT_EQ(w.edit(idText(ControlId::ServerEdit))->text(), ""); // the server is not restored
}

TEST_F(CMailboxCycleTest, PopupMenusFollowTheSelection) {
    fill(3);
    CMailboxWindow w;
    auto enabled = [](QMenu* menu) {
        QList<bool> states;
        for (QAction* a : menu->actions())
            if (!a->isSeparator())
                states << a->isEnabled();
        return states;
    };
    auto rightClick = [&] {
        emit w.window.list()->customContextMenuRequested({});
        QMenu* shown = w.window.viewMenu()->isVisible()   ? w.window.viewMenu()
                       : w.window.markMenu()->isVisible() ? w.window.markMenu()
                                                          : nullptr;
        if (shown)
            shown->hide();
        return shown;
    };
    EXPECT_EQ(rightClick(), nullptr); // disconnected, nothing selected: no menu
    w.window.settingsDlg().settings().quickLogin = 3;
    connect(w);
    EXPECT_EQ(rightClick(), w.window.markMenu());
    w.window.onCommand(CommandId::MarkMenu);
    w.window.markMenu()->hide();
    EXPECT_EQ(enabled(w.window.markMenu()), (QList<bool>{true, false, false, false}));
    w.select({1});
    EXPECT_EQ(rightClick(), w.window.viewMenu());
    EXPECT_EQ(enabled(w.window.viewMenu()), (QList<bool>{true, true, true, true}));
    w.select({1, 3});
    EXPECT_EQ(rightClick(), w.window.viewMenu());
    EXPECT_EQ(enabled(w.window.viewMenu()), (QList<bool>{true, true, false, false}));
}

// The window against the model server, which loses, doubles and adds replies and lists unique
// ids wrongly on demand: after each fault the list, loaded again, names every message right,
// and a delete removes exactly the message its row showed.
struct CFaultyServerWindow {
    CFaultyServerWindow() {
        for (int n = 1; n <= 12; ++n)
            model.deliver("Avs " + std::to_string(n), "Subject " + std::to_string(n), "text");
        w.window.pop3().setSocketFactory(&model);
        w.typeLogin("pop.example", 110, "anna", "x");
    }
    void connect() {
        if (!w.window.isConnected())
            w.window.onCommand(CommandId::Connect);
    }
    void remove(std::initializer_list<int> messages) {
        w.select(messages);
        w.runner.expectQuestion(true);
        w.window.onCommand(CommandId::Delete);
    }
    std::vector<std::string> uids() const {
        std::vector<std::string> all;
        for (const auto& m : model.mailbox)
            all.push_back(m.uid);
        return all;
    }
    void expectRowsRight() {
        ASSERT_TRUE(w.window.isConnected()) << w.window.statusText();
        ASSERT_EQ(w.column(1).size(), static_cast<int>(model.mailbox.size()));
        for (std::size_t i = 0; i < model.mailbox.size(); ++i)
            EXPECT_EQ(w.column(1)[static_cast<int>(i)].toStdString(), model.mailbox[i].subject);
    }

    CModelPop3Server model;
    CMailboxWindow w;
};

TEST(CMailboxFaultTest, AfterEachFaultTheRowsAreRightAndADeleteRemovesWhatItsRowShowed) {
    using Reply = CModelPop3Server::ReplyFault;
    using Uidl = CModelPop3Server::UidlFault;
    constexpr long kTop10 = 17; // CAPA, USER, PASS, STAT, UIDL, LIST, STAT, TOP 1 ... TOP 10
    std::vector<std::pair<const char*, std::function<void(CFaultyServerWindow&)>>> faults{
        {"the reply to TOP 10 lost",
         [](auto& t) { t.model.faultAtCommand = kTop10, t.model.replyFault = Reply::Lose; }},
        {"the reply to TOP 10 doubled",
         [](auto& t) { t.model.faultAtCommand = kTop10, t.model.replyFault = Reply::Double; }},
        {"-ERR to UIDL, then a listing",
         [](auto& t) { t.model.nextUidl = Uidl::RefusedThenListed; }},
        {"a stray +OK before a refused DELE, without UIDL",
         [](auto& t) {
             t.model.answersUidl = false;
             t.connect();
             t.model.refuseDeleOf = {t.model.mailbox[1].uid};
             t.model.faultAtCommand = t.model.commands + 1; // DELE 2
             t.model.replyFault = Reply::StrayLine;
             t.remove({2, 5});
             EXPECT_EQ(t.model.mailbox.size(), 12u); // nothing committed
         }},
        {"a QUIT committed and unanswered, new mail, then UIDL refused",
         [](auto& t) {
             t.connect();
             t.model.deliver("Avs 13", "Subject 13", "text");
             t.model.nextUidl = Uidl::Refused;
             t.model.dropAtCommand = t.model.commands + 3; // DELE 4, the check, QUIT
             t.model.commitBeforeDrop = true;
             t.remove({4});
         }},
        {"Avbryt while the answer to DELE 2 of 10 arrives, one command at a time",
         [](auto& t) {
             t.model.listsPipelining = false;
             t.connect();
             std::string last;
             t.model.onCommand = [&last](const std::string& command) {
                 EXPECT_NE(command, "DELE 3");
                 last = command;
             };
             t.model.onReceive = [&] {
                 if (last == "DELE 2")
                     t.w.progress.cancelLatest();
             };
             t.remove({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
             t.model.onCommand = nullptr;
             t.model.onReceive = nullptr;
             EXPECT_EQ(t.model.mailbox.size(), 10u);
             EXPECT_EQ(t.model.mailbox[0].subject, "Subject 3");
         }},
    };
    // After a keyed connect another client deletes and delivers; the next UIDL cannot key.
    for (const Uidl uidl : {Uidl::Refused, Uidl::Repeated})
        faults.emplace_back("UIDL refused or repeating an id after another client's changes",
                            [uidl](auto& t) {
                                t.connect();
                                t.w.window.onCommand(CommandId::Connect);
                                t.model.removeByOtherClient(1);
                                t.model.deliver("Avs 13", "Subject 13", "text");
                                t.model.nextUidl = uidl;
                            });
    for (const auto& [name, fault] : faults) {
        SCOPED_TRACE(name);
        CFaultyServerWindow t;
        fault(t);
        t.connect(); // meets a fault that lies in the load, which then ends with its reason
        t.connect();
        t.expectRowsRight();
        auto expected = t.uids();
        expected.erase(expected.begin() + 9); // the message row 10 showed, and no other
        t.remove({10});
        t.expectRowsRight();
        EXPECT_EQ(t.uids(), expected);
    }
}

} // namespace
