#include "CScriptedDialogRunner.h"
#include "app/CGuiWaitHook.h"
#include "app/CMaroketDlg.h"
#include "dialogs/CProgressDlg.h"
#include "dialogs/CSettingsDlg.h"
#include "dialogs/IdText.h"
#include "platform/CWaitHook.h"
#include "resources/CStringTable.h"
#include "support/CFakeSocketFactory.h"
#include "support/CLoopbackServer.h"
#include "support/CMemorySettingsStore.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <utility>

namespace {

// The main window, shown, with the login typed for a server on loopback.
class CShownWindow {
public:
    explicit CShownWindow(int port) : window(store, runner) {
        window.settingsDlg().settings().port = port;
        window.pop3().setPort(port);
        edit(ControlId::ServerEdit)->setText("127.0.0.1");
        edit(ControlId::AccountEdit)->setText("u");
        edit(ControlId::PasswordEdit)->setText("p");
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QLineEdit* edit(ControlId id) {
        for (auto* e : window.findChildren<QLineEdit*>(idText(id)))
            if (e->window() == &window)
                return e;
        return nullptr;
    }
    QToolButton* toolButton(CommandId id) {
        auto* bar = window.findChild<QToolBar*>(idText(ControlId::ToolBar));
        for (QAction* action : bar->actions())
            if (action->data().toInt() == idNumber(id))
                return qobject_cast<QToolButton*>(bar->widgetForAction(action));
        return nullptr;
    }
    QList<CommandId> commands() const {
        QList<CommandId> ids;
        for (const auto& call : spy)
            ids << call.at(0).value<CommandId>();
        return ids;
    }

    CMemorySettingsStore store;
    CScriptedDialogRunner runner;
    CMaroketDlg window;
    QSignalSpy spy{&window, &CMaroketDlg::commandRun};
};

std::string markedText(int count) {
    return std::to_string(count) + " " + CStringTable::load(StringId::MarkedCount);
}

class CMainWindowInputTest : public ::testing::Test {
protected:
    void SetUp() override { CGuiWaitHook::install(); }
    void TearDown() override { CWaitHook::set({}); }
};

TEST_F(CMainWindowInputTest, AClickDuringALoadIsHandledWhenTheLoadReturns) {
    std::atomic<bool> clicked{false};
    CLoopbackServer server([&](CLoopbackServer& s) {
        const std::string header = "From: a@example.org\r\nSubject: s\r\n\r\n.\r\n";
        const std::pair<std::string, std::string> replies[] = {
            {"CAPA", "-ERR\r\n"},
            {"USER", "+OK\r\n"},
            {"PASS", "+OK\r\n"},
            {"STAT", "+OK 2 120\r\n"},
            {"UIDL", "+OK\r\n1 a\r\n2 b\r\n.\r\n"},
            {"LIST", "+OK\r\n1 60\r\n2 60\r\n.\r\n"},
            {"TOP 1", "+OK\r\n" + header},
            {"TOP 2", "+OK\r\n" + header}};
        s.send("+OK\r\n");
        for (const auto& [command, reply] : replies) {
            if (s.readLine().rfind(command, 0) != 0)
                return;
            // The second summary comes only once the user has clicked in the main window.
            if (command == "TOP 2")
                s.waitFor([&] { return clicked.load(); });
            s.send(reply);
        }
        s.waitFor();
    });
    CShownWindow w(server.port());
    QToolButton* none = w.toolButton(CommandId::MarkNone);
    ASSERT_TRUE(none);
    int commandsAtClick = -1;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (clicked || CProgressDlg::openCount() == 0)
            return;
        QTest::mouseClick(none, Qt::LeftButton);
        commandsAtClick = static_cast<int>(w.spy.size());
        clicked = true;
    });
    poll.start(5);

    w.window.onCommand(CommandId::Connect);
    poll.stop();
    ASSERT_TRUE(clicked) << "no progress window came up: " << w.window.statusText();
    // The click waited: it was neither handled inside the load nor thrown away.
    EXPECT_EQ(commandsAtClick, 1);
    EXPECT_EQ(w.commands(), QList<CommandId>{CommandId::Connect});
    ASSERT_TRUE(w.window.isConnected()) << w.window.statusText();
    // The window went with the load, not at its next tick.
    EXPECT_EQ(CProgressDlg::openCount(), 0);
    w.window.list()->selectAll();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.commands().size() == 2; }));
    EXPECT_EQ(w.commands(), (QList<CommandId>{CommandId::Connect, CommandId::MarkNone}));
    EXPECT_EQ(w.window.statusText(), markedText(0));
    EXPECT_EQ(w.window.list()->selectedItems().size(), 0);
}

TEST_F(CMainWindowInputTest, KeysTypedDuringACommandArriveInOrderWithTheClicks) {
    // A server that takes its time to greet: what is typed meanwhile lands after the refusal.
    CLoopbackServer server([](CLoopbackServer& s) {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        s.send("-ERR not now\r\n");
        s.waitFor();
    });
    CShownWindow w(server.port());
    QLineEdit* text = w.edit(ControlId::QuickTextEdit);
    QLineEdit* to = w.edit(ControlId::QuickToEdit);
    QTimer::singleShot(20, [&] {
        QTest::mouseClick(text, Qt::LeftButton);
        QTest::keyClicks(text, "ab");
        QTest::mouseClick(to, Qt::LeftButton);
        QTest::keyClicks(to, "c");
    });
    w.window.onCommand(CommandId::Connect);
    EXPECT_EQ(text->text(), "");
    EXPECT_TRUE(QTest::qWaitFor([&] { return to->text() == "c"; }));
    EXPECT_EQ(text->text(), "ab");
    EXPECT_EQ(QApplication::focusWidget(), to);
}

TEST_F(CMainWindowInputTest, ConnectShowsTheTruthHoweverItIsActivated) {
    CFakeSocketFactory fake;
    CShownWindow w(1); // nothing listens on port 1 of the loopback address
    QAction* toggle = w.window.connectAction();
    QToolButton* button = w.toolButton(CommandId::Connect);
    QAccessibleActionInterface* actions =
        QAccessible::queryAccessibleInterface(button)->actionInterface();
    ASSERT_TRUE(button && actions);
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"mouse", [&] { QTest::mouseClick(button, Qt::LeftButton); }},
        {"Enter", [&] { QTest::keyClick(w.edit(ControlId::PasswordEdit), Qt::Key_Return); }},
        {"menu", [&] { toggle->trigger(); }},
        {"toggle()", [&] { toggle->toggle(); }},
        {"accessible toggle",
         [&] { actions->doAction(QAccessibleActionInterface::toggleAction()); }},
    };
    int connects = 0;
    for (const auto& [way, activate] : ways) {
        activate();
        ++connects;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return w.commands().count(CommandId::Connect) == connects;
        })) << way;
        EXPECT_EQ(w.window.statusText(), CStringTable::load(StringId::CannotConnect)) << way;
        EXPECT_FALSE(toggle->isChecked()) << way;
        EXPECT_FALSE(button->isChecked()) << way;
    }

    // Connected, it shows pressed; the accessible toggle disconnects and shows it.
    w.window.pop3().setSocketFactory(&fake);
    fake.addScript()
        ->server("+OK\r\n")
        .client("CAPA\r\n")
        .server("-ERR\r\n")
        .client("USER u\r\n")
        .server("+OK\r\n")
        .client("PASS p\r\n")
        .server("+OK\r\n")
        .client("STAT\r\n")
        .server("+OK 0 0\r\n")
        .client("LIST\r\n")
        .server("+OK\r\n.\r\n")
        .client("QUIT\r\n")
        .server("+OK\r\n");
    // The action answers at once; the command runs from the event loop.
    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.window.isConnected(); })) << w.window.statusText();
    EXPECT_TRUE(toggle->isChecked() && button->isChecked());
    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.window.isConnected(); }));
    EXPECT_FALSE(toggle->isChecked() || button->isChecked());
}

} // namespace
