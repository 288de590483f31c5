#include "app/CMaroketDlg.h"
#include "CScriptedDialogRunner.h"
#include "app/CGuiWaitHook.h"
#include "app/CQtSettingsStore.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CProgressDlg.h"
#include "dialogs/CSettingsDlg.h"
#include "dialogs/CUiText.h"
#include "dialogs/IdText.h"
#include "platform/CWaitHook.h"
#include "resources/CStringTable.h"
#include "resources/MaroketVersion.h"
#include "support/CFakeSocketFactory.h"
#include "support/CLoopbackServer.h"
#include "support/CMemorySettingsStore.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <functional>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

class CMaroketDlgTest : public ::testing::Test {
protected:
    void SetUp() override { stored().clear(); }
    void TearDown() override { stored().clear(); }
    // What the program keeps in the test program's private settings folder.
    static QSettings& stored() {
        static QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "velmo",
                                  QCoreApplication::applicationName());
        settings.sync();
        return settings;
    }
    // The window's own control: ids repeat in the dialogs it owns.
    template <class T> T* control(CMaroketDlg& w, const QString& id) {
        for (T* c : w.findChildren<T*>(id))
            if (c->window() == &w)
                return c;
        return nullptr;
    }
    QToolButton* toolButton(CMaroketDlg& w, CommandId id) {
        auto* bar = control<QToolBar>(w, idText(ControlId::ToolBar));
        for (QAction* action : bar->actions())
            if (action->data().toInt() == idNumber(id))
                return qobject_cast<QToolButton*>(bar->widgetForAction(action));
        return nullptr;
    }
    // The login for a server on loopback.
    void typeLogin(CMaroketDlg& w, int port) {
        w.settingsDlg().settings().port = port;
        w.pop3().setPort(port);
        control<QLineEdit>(w, idText(ControlId::ServerEdit))->setText("127.0.0.1");
        control<QLineEdit>(w, idText(ControlId::AccountEdit))->setText("u");
        control<QLineEdit>(w, idText(ControlId::PasswordEdit))->setText("p");
    }
    // Shows the window and gives it the focus, as a user's desktop would.
    static void showActive(CMaroketDlg& w) {
        w.show();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }

    CQtSettingsStore store;
    CScriptedDialogRunner runner;
};

TEST_F(CMaroketDlgTest, FirstStartShowsDefaults) {
    CMaroketDlg w(store, runner);
    EXPECT_EQ(w.windowTitle(), "Maroket");
    EXPECT_EQ(control<QLabel>(w, idText(ControlId::StatusLine))->text(),
              QString::fromUtf8("Frånkopplad."));
    EXPECT_EQ(control<QLabel>(w, idText(ControlId::VersionLabel))->text(),
              QString::fromLatin1(kMaroketVersionText));
    EXPECT_EQ(w.pop3().port(), 110);
    EXPECT_EQ(w.cycle().previewLines(), 50);
    EXPECT_EQ(w.smtp().port(), 25);
    EXPECT_EQ(w.smtp().heloName(), "nada");
    EXPECT_EQ(w.settingsDlg().settings().quickLogin, 1000);
    EXPECT_EQ(w.settingsDlg().settings().timeout, 5);
    EXPECT_FALSE(w.isConnected());
    QTreeWidget* list = w.list();
    ASSERT_EQ(list->columnCount(), 4);
    const char* titles[] = {"Från", "Ärende", "Datum", "Storlek"};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(list->headerItem()->text(c), QString::fromUtf8(titles[c]));
    // The layout's 240, 140 and 133 pixels, in the font's units.
    EXPECT_NEAR(list->columnWidth(1) * 240.0 / list->columnWidth(0), 140, 2);
    EXPECT_NEAR(list->columnWidth(2) * 240.0 / list->columnWidth(0), 133, 2);
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_FALSE(list->isSortingEnabled());
    // Seventeen toolbar entries; the connect entry is a check button.
    auto* bar = w.findChild<QToolBar*>(idText(ControlId::ToolBar));
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->actions().size(), 17);
    EXPECT_TRUE(bar->actions()[0]->isCheckable());
    EXPECT_FALSE(bar->actions()[0]->isChecked());
    EXPECT_TRUE(bar->actions()[1]->isSeparator());
    EXPECT_EQ(bar->actions()[14]->text(), QString::fromUtf8("Inställn."));
    EXPECT_FALSE(bar->actions()[2]->icon().isNull());
    // Stored values are only read: nothing is written until the settings are confirmed.
    EXPECT_TRUE(stored().allKeys().isEmpty());
}

TEST_F(CMaroketDlgTest, ConfirmedSettingsAreStoredAndReadByTheNextWindow) {
    {
        CMaroketDlg w(store, runner);
        runner.expectDialog<CSettingsDlg>([](CSettingsDlg& d) {
            AppSettings& s = d.settings();
            s.port = 995;
            s.helo = "min.dator";
            s.address = "anna@example.org";
            s.smtpPort = 465;
            s.smtpServer = "smtp.example.org";
            s.lines = 20;
            s.dns = "127.0.0.53";
            s.quickLogin = 300;
            s.timeout = 9;
            return 1;
        });
        w.onCommand(CommandId::Settings);
        EXPECT_EQ(w.pop3().port(), 995);
        EXPECT_EQ(w.smtp().getServer(), "smtp.example.org");
        EXPECT_EQ(control<QLineEdit>(w, idText(ControlId::QuickFromEdit))->text(),
                  "anna@example.org");
    }
    CMaroketDlg again(store, runner);
    EXPECT_EQ(again.settings().port, 995);
    EXPECT_EQ(again.settings().lines, 20);
    EXPECT_EQ(again.settings().helo, "min.dator");
    EXPECT_EQ(again.settings().smtpServer, "smtp.example.org");
    EXPECT_EQ(again.settings().smtpPort, 465);
    EXPECT_EQ(again.settings().address, "anna@example.org");
    EXPECT_EQ(again.settings().quickLogin, 300);
    EXPECT_EQ(again.settings().timeout, 9);
    EXPECT_EQ(again.settings().dns, "127.0.0.53");
    EXPECT_EQ(again.smtp().dnsServer, "127.0.0.53");
    EXPECT_EQ(again.settingsDlg().settings().port, 995);
    EXPECT_EQ(control<QLineEdit>(again, idText(ControlId::QuickFromEdit))->text(),
              "anna@example.org");
}

TEST_F(CMaroketDlgTest, CancelledSettingsChangeNothing) {
    CMaroketDlg w(store, runner);
    showActive(w);
    runner.expectDialog<CSettingsDlg>([](CSettingsDlg& d) {
        d.settings().port = 1;
        return 2;
    });
    w.onCommand(CommandId::Settings);
    EXPECT_TRUE(stored().allKeys().isEmpty());
    EXPECT_EQ(w.pop3().port(), 110);
    EXPECT_EQ(QApplication::focusWidget(), control<QLineEdit>(w, idText(ControlId::ServerEdit)));
}

TEST_F(CMaroketDlgTest, EnterConnectsOrTestsByWhereTheFocusHasBeen) {
    CMaroketDlg w(store, runner);
    showActive(w);
    QSignalSpy commands(&w, &CMaroketDlg::commandRun);
    auto enterIn = [&](const QString& id) {
        QLineEdit* edit = control<QLineEdit>(w, id);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
        QList<CommandId> ids;
        for (const auto& call : commands)
            ids << call.at(0).value<CommandId>();
        commands.clear();
        return ids;
    };
    EXPECT_EQ(enterIn(idText(ControlId::PasswordEdit)),
              (QList<CommandId>{CommandId::Enter, CommandId::Connect}));
    EXPECT_EQ(enterIn(idText(ControlId::QuickToEdit)),
              (QList<CommandId>{CommandId::Enter, CommandId::TestAddress}));
    EXPECT_EQ(enterIn(idText(ControlId::ServerEdit)),
              (QList<CommandId>{CommandId::Enter,
                                CommandId::TestAddress})); // the server field changes nothing
    EXPECT_EQ(enterIn(idText(ControlId::AccountEdit)),
              (QList<CommandId>{CommandId::Enter, CommandId::Connect}));
}

TEST_F(CMaroketDlgTest, Tele2LocksTheServerField) {
    CMaroketDlg w(store, runner);
    showActive(w);
    auto* tele2 = control<QCheckBox>(w, idText(ControlId::Tele2Box));
    ASSERT_NE(tele2, nullptr);
    EXPECT_FALSE(tele2->isVisible());
    tele2->setChecked(true);
    w.onCommand(CommandId::Tele2);
    EXPECT_FALSE(control<QLineEdit>(w, idText(ControlId::ServerEdit))->isEnabled());
    control<QLineEdit>(w, idText(ControlId::AccountEdit))->setText("konto");
    w.focusLoginField();
    EXPECT_EQ(QApplication::focusWidget(), control<QLineEdit>(w, idText(ControlId::AccountEdit)));
    EXPECT_EQ(control<QLineEdit>(w, idText(ControlId::AccountEdit))->selectedText(), "konto");
    tele2->setChecked(false);
    w.onCommand(CommandId::Tele2);
    EXPECT_TRUE(control<QLineEdit>(w, idText(ControlId::ServerEdit))->isEnabled());
}

TEST_F(CMaroketDlgTest, SizePlaceAndColumnWidthsAreKeptForTheNextStart) {
    CMemorySettingsStore memory;
    QSize smallest;
    int firstColumn = 0, dragged = 0;
    {
        CMaroketDlg w(memory, runner);
        showActive(w);
        smallest = w.size();
        const QSize list = w.list()->size();
        const QRect status = control<QLabel>(w, idText(ControlId::StatusLine))->geometry();
        const int sizeColumn = w.list()->columnWidth(3);
        w.resize(smallest + QSize(200, 100));
        w.move(40, 50);
        // The list takes the room; the status line stays below it, across the window.
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.list()->size() == list + QSize(200, 100); }));
        EXPECT_EQ(control<QLabel>(w, idText(ControlId::StatusLine))->geometry(),
                  status.adjusted(0, 100, 200, 100));
        // The last column takes the room; a column made wider takes it back from there.
        EXPECT_EQ(w.list()->columnWidth(3), sizeColumn + 200);
        firstColumn = w.list()->columnWidth(0);
        w.list()->setColumnWidth(1, w.list()->columnWidth(1) + 100); // as the user drags it
        EXPECT_EQ(w.list()->columnWidth(3), sizeColumn + 100);
        dragged = w.list()->columnWidth(1);
        w.onCommand(CommandId::Exit);
    }
    // Only the width the user dragged is kept; the others follow the font at the next start.
    EXPECT_EQ(memory.ints.count("ColumnWidth0") + memory.ints.count("ColumnWidth3"), 0u);
    CMaroketDlg again(memory, runner);
    EXPECT_EQ(again.size(), smallest + QSize(200, 100));
    EXPECT_EQ(again.pos(), QPoint(40, 50));
    EXPECT_EQ(again.list()->columnWidth(0), firstColumn);
    EXPECT_EQ(again.list()->columnWidth(1), dragged);

    // A size below the smallest and a place off every screen are not taken.
    memory.ints["WindowWidth"] = 10;
    memory.ints["WindowX"] = -100000;
    CMaroketDlg third(memory, runner);
    showActive(third);
    EXPECT_EQ(third.width(), smallest.width());
    EXPECT_GT(third.x(), -1000);
}

// "Om Maroket..." opens showing the long credits.
TEST_F(CMaroketDlgTest, AboutOpensWithTheLongCredits) {
    CMaroketDlg w(store, runner);
    runner.expectDialog<CAboutDlg>([](CAboutDlg& d) {
        d.show();
        EXPECT_EQ(d.findChild<QPlainTextEdit*>(idText(ControlId::CreditsText))->toPlainText(),
                  CUiText::toQString(CStringTable::load(StringId::LongCredits)));
        d.hide();
        return 1;
    });
    w.onCommand(CommandId::About);
}

// Typing and a click on "Inget" while the load's progress window stands wait for the load, then
// take effect in order; the progress window goes with the load. A screen reader reads the
// status line by its text.
TEST_F(CMaroketDlgTest, InputDuringALoadIsHandledInOrderWhenTheLoadReturns) {
    CGuiWaitHook::install();
    std::atomic<bool> clicked{false};
    CLoopbackServer server([&](CLoopbackServer& s) {
        const std::string top = "+OK\r\nFrom: a@example.org\r\n\r\n.\r\n";
        // Greeting, CAPA, USER, PASS, STAT, UIDL, LIST, TOP 1 are answered at once, TOP 2
        // once the user has clicked.
        const std::string replies[] = {"+OK\r\n",
                                       "-ERR\r\n",
                                       "+OK\r\n",
                                       "+OK\r\n",
                                       "+OK 2 120\r\n",
                                       "+OK\r\n1 a\r\n2 b\r\n.\r\n",
                                       "+OK\r\n1 60\r\n2 60\r\n.\r\n",
                                       top};
        for (const std::string& reply : replies) {
            s.send(reply);
            s.readLine();
        }
        s.waitFor([&] { return clicked.load(); });
        s.send(top);
        s.waitFor();
    });
    CMaroketDlg w(store, runner);
    typeLogin(w, server.port());
    showActive(w);
    QSignalSpy commands(&w, &CMaroketDlg::commandRun);
    auto* text = control<QLineEdit>(w, idText(ControlId::QuickTextEdit));
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (clicked || CProgressDlg::openCount() == 0)
            return;
        QTest::mouseClick(text, Qt::LeftButton);
        QTest::keyClicks(text, "ab");
        QTest::mouseClick(toolButton(w, CommandId::MarkNone), Qt::LeftButton);
        clicked = true;
    });
    poll.start(5);
    w.onCommand(CommandId::Connect);
    CWaitHook::set({});
    ASSERT_TRUE(clicked && w.isConnected()) << w.statusText();
    EXPECT_EQ(commands.size(), 1);
    EXPECT_EQ(text->text(), "");
    EXPECT_EQ(CProgressDlg::openCount(), 0);
    QAccessibleInterface* status =
        QAccessible::queryAccessibleInterface(control<QLabel>(w, idText(ControlId::StatusLine)));
    EXPECT_EQ(status->role(), QAccessible::StatusBar);
    EXPECT_EQ(status->text(QAccessible::Name), CUiText::toQString(w.statusText()));
    EXPECT_TRUE(status->text(QAccessible::Name)
                    .startsWith(CUiText::toQString(CStringTable::load(StringId::DoneAccountHas))));

    w.list()->selectAll();
    ASSERT_TRUE(QTest::qWaitFor([&] { return commands.size() == 2; }));
    EXPECT_EQ(commands.at(1).at(0).value<CommandId>(), CommandId::MarkNone);
    EXPECT_EQ(text->text(), "ab");
    EXPECT_EQ(w.list()->selectedItems().size(), 0);
    EXPECT_EQ(status->text(QAccessible::Name),
              CUiText::toQString("0 " + CStringTable::load(StringId::MarkedCount)));
}

// A server's word makes no work of its own: a count it only claims ends the connect at once,
// with the reason; a long list that LIST bears out keeps the window painting, and its Avbryt
// ends the list where it is.
TEST_F(CMaroketDlgTest, NoCountAServerClaimsFreezesTheWindow) {
    CGuiWaitHook::install();
    CMaroketDlg w(store, runner);
    w.settingsDlg().settings().quickLogin = 1;
    showActive(w);
    auto answering = [](const std::string& stat, const std::string& list) {
        return [stat, list](CLoopbackServer& s) {
            // Greeting, CAPA, USER, PASS, STAT, then QUIT or LIST.
            for (const std::string& reply :
                 {std::string("+OK\r\n"), std::string("-ERR\r\n"), std::string("+OK\r\n"),
                  std::string("+OK\r\n"), stat, list}) {
                s.send(reply);
                s.readLine();
            }
            s.waitFor();
        };
    };
    {
        CLoopbackServer server(answering("+OK 2000000000 0\r\n", "+OK\r\n"));
        typeLogin(w, server.port());
        QElapsedTimer took;
        took.start();
        w.onCommand(CommandId::Connect);
        EXPECT_LT(took.elapsed(), 1000);
        EXPECT_EQ(w.statusText(), "STAT: 2000000000 brev enligt servern, fler än programmet kan "
                                  "visa (högst 1 000 000).");
        EXPECT_FALSE(w.isConnected());
    }

    constexpr int count = 100000;
    std::string list = "+OK\r\n";
    for (int n = 1; n <= count; ++n)
        list += std::to_string(n) + " 1000\r\n";
    CLoopbackServer server(answering("+OK 100000 100000000\r\n", list + ".\r\n"));
    typeLogin(w, server.port());
    QElapsedTimer sinceClick;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (sinceClick.isValid() || w.list()->topLevelItemCount() < 1000)
            return;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* dlg = qobject_cast<CProgressDlg*>(top); dlg && dlg->isVisible()) {
                QTest::mouseClick(dlg->findChild<QPushButton*>(idText(ControlId::Cancel)),
                                  Qt::LeftButton);
                sinceClick.start();
            }
    });
    poll.start(5);
    w.onCommand(CommandId::Connect);
    CWaitHook::set({});
    ASSERT_TRUE(sinceClick.isValid()) << "the list's window never took its Avbryt";
    EXPECT_LT(sinceClick.elapsed(), 500);
    const int shown = w.list()->topLevelItemCount();
    EXPECT_LT(shown, count);
    EXPECT_EQ(w.statusText(), "Avbrutet av användaren. Listan visar bara de första " +
                                  std::to_string(shown) + " av 100000 brev.");
    EXPECT_TRUE(w.isConnected());
}

// A connect that fails leaves "Anslut" unpressed, whichever way it was asked for.
TEST_F(CMaroketDlgTest, AnslutShowsTheTruthHoweverItIsActivated) {
    CMaroketDlg w(store, runner);
    CFakeSocketFactory fake;
    w.pop3().setSocketFactory(&fake);
    typeLogin(w, 110);
    showActive(w);
    QSignalSpy commands(&w, &CMaroketDlg::commandRun);
    QAction* toggle = w.connectAction();
    QToolButton* button = toolButton(w, CommandId::Connect);
    QAccessibleActionInterface* actions =
        QAccessible::queryAccessibleInterface(button)->actionInterface();
    const std::function<void()> ways[] = {
        [&] { QTest::mouseClick(button, Qt::LeftButton); },
        [&] {
            QTest::keyClick(control<QLineEdit>(w, idText(ControlId::PasswordEdit)), Qt::Key_Return);
        },
        [&] { toggle->trigger(); }, // a menu, a shortcut
        [&] { toggle->toggle(); },
        [&] { actions->doAction(QAccessibleActionInterface::toggleAction()); }};
    for (int way = 0; way < 5; ++way) {
        fake.addScript()->refuseConnect();
        commands.clear();
        ways[way]();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !commands.isEmpty(); })) << way;
        EXPECT_FALSE(toggle->isChecked() || button->isChecked()) << way;
    }
}

// A port on loopback: listening with a full queue (a connect to it gets no answer), or, with
// listening false, not listening (a connect to it is refused).
int loopbackPort(std::vector<int>& sockets, bool listening) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    auto* address = reinterpret_cast<sockaddr*>(&a);
    const int bound = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockets.push_back(bound);
    ::bind(bound, address, length);
    ::getsockname(bound, address, &length);
    if (listening)
        ::listen(bound, 0);
    for (int i = 0; listening && i < 3; ++i) {
        sockets.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        ::connect(sockets.back(), address, length);
    }
    QTest::qWait(50);
    return ntohs(a.sin_port);
}

// Escape or "Nollställ" while the window waits on a server that gives no answer (to the
// connect, the greeting, an SMTP server's greeting): the wait ends within half a second with
// "Avbrutet av användaren.", and nothing of the key or the click is left over to act after the
// command: the window stays open.
TEST_F(CMaroketDlgTest, EscapeOrNollstallEndsASilentWaitAtOnceAndTheWindowStays) {
    CGuiWaitHook::install();
    std::vector<int> sockets;
    const int noAnswer = loopbackPort(sockets, true);
    CLoopbackServer noGreeting([](CLoopbackServer& s) { s.waitFor(); });
    CLoopbackServer noSmtpGreeting([](CLoopbackServer& s) { s.waitFor(); });
    CMaroketDlg w(store, runner);
    showActive(w);
    auto* reset = control<QPushButton>(w, idText(CommandId::Reset));
    const auto escape = [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); };
    const auto click = [reset] { QTest::mouseClick(reset, Qt::LeftButton); };
    auto stopped = [&](CommandId command, const std::function<void()>& stop) {
        std::chrono::steady_clock::time_point at{};
        QTimer::singleShot(300, &w, [&] {
            at = std::chrono::steady_clock::now();
            stop();
        });
        w.onCommand(command);
        EXPECT_LT(std::chrono::steady_clock::now() - at, std::chrono::milliseconds(500));
        EXPECT_EQ(w.statusText(), "Avbrutet av användaren.");
        QTest::qWait(100); // whatever the window held is delivered by now
        EXPECT_TRUE(w.isVisible());
    };
    typeLogin(w, noAnswer);
    stopped(CommandId::Connect, escape);
    typeLogin(w, noGreeting.port());
    stopped(CommandId::Connect, click);
    EXPECT_EQ(control<QLineEdit>(w, idText(ControlId::ServerEdit))->text(), "127.0.0.1");

    runner.expectDialog<CSettingsDlg>([&](CSettingsDlg& d) {
        d.settings().smtpServer = "127.0.0.1";
        d.settings().smtpPort = noSmtpGreeting.port();
        return 1;
    });
    w.onCommand(CommandId::Settings);
    control<QLineEdit>(w, idText(ControlId::QuickFromEdit))->setText("anna@example.org");
    control<QLineEdit>(w, idText(ControlId::QuickToEdit))->setText("bo@example.org");
    stopped(CommandId::QuickSend, escape);
    CWaitHook::set({});
    for (int fd : sockets)
        ::close(fd);
}

// A closed port, an empty server field and a quick-send without an SMTP server each say what
// is wrong.
TEST_F(CMaroketDlgTest, AFailedConnectSaysWhy) {
    CMaroketDlg w(store, runner);
    std::vector<int> sockets;
    const int closed = loopbackPort(sockets, false);
    typeLogin(w, closed);
    w.onCommand(CommandId::Connect);
    EXPECT_EQ(w.statusText(), "Kan inte ansluta. Servern nekade anslutningen (port " +
                                  std::to_string(closed) + ").");
    ::close(sockets[0]);
    control<QLineEdit>(w, idText(ControlId::ServerEdit))->clear();
    w.onCommand(CommandId::Connect);
    EXPECT_EQ(w.statusText(), "Ange en mailserver.");
    control<QLineEdit>(w, idText(ControlId::QuickToEdit))->setText("bo@example.org");
    w.onCommand(CommandId::QuickSend);
    EXPECT_EQ(w.statusText(), "Ingen SMTP-server är inställd (Redigera > Inställningar).");
}

// The password reaches a screen reader as dots only, until the button beside it (the next stop
// of Tab, pressed with Space) shows it.
TEST_F(CMaroketDlgTest, ThePasswordIsMaskedUntilTheUserShowsIt) {
    CMaroketDlg w(store, runner);
    showActive(w);
    auto* password = control<QLineEdit>(w, idText(ControlId::PasswordEdit));
    password->setText("hemligt");
    QAccessibleInterface* field = QAccessible::queryAccessibleInterface(password);
    EXPECT_FALSE(field->text(QAccessible::Value).contains("hemligt"));
    password->setFocus();
    QTest::keyClick(password, Qt::Key_Tab);
    QWidget* show = QApplication::focusWidget();
    EXPECT_EQ(show->accessibleName(), QString::fromUtf8("Visa lösenord"));
    QTest::keyClick(show, Qt::Key_Space);
    EXPECT_EQ(password->echoMode(), QLineEdit::Normal);
    QTest::keyClick(show, Qt::Key_Space);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
}

} // namespace
