#include "dialogs/CProgressDlg.h"
#include "app/CGuiWaitHook.h"
#include "dialogs/CProgressWindowHost.h"
#include "dialogs/IdText.h"
#include "platform/CProgressThread.h"
#include "platform/CWaitHook.h"
#include "pop3/CMessageDownload.h"
#include "pop3/CPop3Session.h"
#include "support/CLoopbackServer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace {

constexpr int tickMs = 250;
constexpr int bound = 2000; // upper limit for anything that takes a tick

QProgressBar* bar(QWidget* dlg) {
    return dlg->findChild<QProgressBar*>(idText(ControlId::ProgressBar));
}
QPushButton* avbryt(QWidget* dlg) {
    return dlg->findChild<QPushButton*>(idText(ControlId::Cancel));
}

std::vector<CProgressDlg*> progressWindows() {
    std::vector<CProgressDlg*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dlg = qobject_cast<CProgressDlg*>(w))
            found.push_back(dlg);
    return found;
}

// The open window whose bar runs to total.
QPointer<CProgressDlg> windowFor(int total) {
    for (CProgressDlg* dlg : progressWindows())
        if (dlg->isVisible() && bar(dlg)->maximum() == total)
            return dlg;
    return nullptr;
}

// What the socket layer does during a blocking receive: poll a short while, run the hook.
bool runHookUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.hasExpired(bound))
            return false;
        CWaitHook::run();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class ProgressWindow : public ::testing::Test {
protected:
    void TearDown() override {
        CWaitHook::set({});
        for (CProgressDlg* dlg : progressWindows())
            dlg->close();
        EXPECT_TRUE(QTest::qWaitFor([] { return progressWindows().empty(); }, bound));
        EXPECT_EQ(CProgressDlg::openCount(), 0);
    }

    CProgressWindowHost host;
};

TEST_F(ProgressWindow, AvbrytEscapeAndEnterEachEndItForGood) {
    const std::vector<std::pair<const char*, std::function<void(CProgressDlg*)>>> ways = {
        {"Avbryt", [](CProgressDlg* d) { QTest::mouseClick(avbryt(d), Qt::LeftButton); }},
        {"Escape", [](CProgressDlg* d) { QTest::keyClick(d->focusWidget(), Qt::Key_Escape); }},
        {"Enter", [](CProgressDlg* d) { QTest::keyClick(d, Qt::Key_Return); }},
    };
    for (const auto& [name, end] : ways) {
        SCOPED_TRACE(name);
        CProgressThread op;
        op.SetTotal(1000);
        op.start(&host);
        QPointer<CProgressDlg> dlg = windowFor(1000);
        ASSERT_TRUE(dlg);
        EXPECT_TRUE(op.IsProgressRunning());
        EXPECT_EQ(CProgressDlg::openCount(), 1);

        end(dlg);
        EXPECT_FALSE(op.IsProgressRunning()) << "the cancel must not wait for a tick";
        EXPECT_TRUE(op.IsCancelled());
        EXPECT_EQ(CProgressDlg::openCount(), 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.isNull(); }, bound));
        op.SetProgress(1000); // a final report after the cancel meets no window
        EXPECT_FALSE(op.IsProgressRunning());
    }
}

TEST_F(ProgressWindow, ReportAtOrAboveTheTotalClosesAtTheNextTick) {
    CProgressThread exact, above, zero;
    exact.SetTotal(1000);
    above.SetTotal(500);
    zero.SetTotal(0);
    std::vector<int> barAtEnd;
    QElapsedTimer sinceOpen;
    sinceOpen.start();
    for (CProgressThread* op : {&exact, &above, &zero})
        op->start(&host);
    for (int total : {1000, 500, 0}) {
        QPointer<CProgressDlg> dlg = windowFor(total);
        ASSERT_TRUE(dlg) << total;
        QObject::connect(dlg, &QDialog::finished,
                         [&, b = bar(dlg)] { barAtEnd.push_back(b->value()); });
    }

    exact.SetProgress(1000);
    above.SetProgress(800);
    QApplication::processEvents();
    for (CProgressThread* op : {&exact, &above, &zero})
        EXPECT_TRUE(op->IsProgressRunning()) << "closed before its tick";

    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return !exact.IsProgressRunning() && !above.IsProgressRunning() &&
                   !zero.IsProgressRunning();
        },
        bound));
    EXPECT_GE(sinceOpen.elapsed(), tickMs - 50);
    for (CProgressThread* op : {&exact, &above, &zero})
        EXPECT_FALSE(op->IsCancelled()) << "a window that reached its total was not cancelled";
    std::sort(barAtEnd.begin(), barAtEnd.end());
    EXPECT_EQ(barAtEnd, (std::vector<int>{0, 500, 1000}))
        << "a position above the total fills the bar";
}

TEST_F(ProgressWindow, BarShowsOnlyTheLatestReportAtEachTick) {
    CProgressThread op;
    op.SetTotal(100);
    op.start(&host);
    QPointer<CProgressDlg> dlg = windowFor(100);
    ASSERT_TRUE(dlg);
    std::vector<int> drawn;
    QObject::connect(bar(dlg), &QProgressBar::valueChanged, [&](int v) { drawn.push_back(v); });

    for (int position : {10, 20, 30})
        op.SetProgress(position);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !drawn.empty(); }, bound));
    for (int position : {40, 50})
        op.SetProgress(position);
    EXPECT_TRUE(QTest::qWaitFor([&] { return drawn.size() >= 2; }, bound));
    EXPECT_EQ(drawn, (std::vector<int>{30, 50}));
    EXPECT_TRUE(op.IsProgressRunning());
}

TEST_F(ProgressWindow, WindowStartedRightAfterAnotherDoesNotSwallowItsFinalReport) {
    CProgressThread first, second;
    first.SetTotal(300);
    first.start(&host);
    first.SetProgress(300); // the first operation's last report
    second.SetTotal(400);
    second.start(&host); // at position 0, within the first window's tick
    ASSERT_EQ(progressWindows().size(), 2u);

    EXPECT_TRUE(QTest::qWaitFor([&] { return !first.IsProgressRunning(); }, bound));
    QTest::qWait(tickMs + 50); // the second window has ticked as well
    EXPECT_TRUE(second.IsProgressRunning());
    second.SetProgress(400);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !second.IsProgressRunning(); }, bound));
}

TEST_F(ProgressWindow, LaidOutAsTheArbetarWindowAroundThePointer) {
    QCursor::setPos(QPoint(400, 300));
    auto state = std::make_shared<ProgressState>();
    state->total = 5'000'000; // a byte count far above a 16-bit range
    QPointer<CProgressDlg> dlg = new CProgressDlg(state);
    dlg->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg));

    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Arbetar..."));
    EXPECT_FALSE(dlg->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint));
    EXPECT_EQ(dlg->windowModality(), Qt::NonModal); // it blocks no other window
    QProgressBar* b = bar(dlg);
    QPushButton* button = avbryt(dlg);
    ASSERT_TRUE(b && button);
    EXPECT_EQ(b->minimum(), 0);
    EXPECT_EQ(b->maximum(), 5'000'000);
    EXPECT_EQ(b->value(), 0);
    EXPECT_FALSE(b->accessibleName().isEmpty());
    EXPECT_EQ(button->text(), QStringLiteral("Avbryt"));
    EXPECT_EQ(button->accessibleName(), QStringLiteral("Avbryt"));
    EXPECT_EQ(dlg->focusWidget(), button);

    // 186 x 55 units: the bar spans the width with equal margins, the button sits centred below.
    const QRect win = dlg->rect();
    EXPECT_GT(win.width(), 2 * win.height());
    EXPECT_TRUE(win.contains(b->geometry()) && win.contains(button->geometry()));
    EXPECT_NEAR(b->geometry().left(), win.width() - 1 - b->geometry().right(), 1);
    EXPECT_NEAR(button->geometry().center().x(), win.width() / 2, 4);
    EXPECT_GT(button->geometry().top(), b->geometry().bottom());
    EXPECT_LE((dlg->frameGeometry().center() - QPoint(400, 300)).manhattanLength(), 2);
    dlg->close();
    EXPECT_TRUE(state->ended.load());
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.isNull(); }, bound));

    // At a screen corner it stays on the screen; destroying it also ends it.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QCursor::setPos(screen.bottomRight());
    auto cornerState = std::make_shared<ProgressState>();
    auto* corner = new CProgressDlg(cornerState);
    corner->show();
    EXPECT_TRUE(screen.contains(corner->frameGeometry()));
    delete corner;
    EXPECT_TRUE(cornerState->ended.load());
}

TEST_F(ProgressWindow, WaitHookKeepsTheWindowTickingAndTakesItsAvbryt) {
    CGuiWaitHook::install();
    CProgressThread op;
    op.SetTotal(10);
    op.start(&host);
    QPointer<CProgressDlg> dlg = windowFor(10);
    ASSERT_TRUE(dlg);

    // From here on only what a blocked receive does: poll, run the hook.
    op.SetProgress(4);
    EXPECT_TRUE(runHookUntil([&] { return bar(dlg)->value() == 4; }));
    QPushButton* button = avbryt(dlg);
    const QPointF at = button->rect().center();
    for (auto [type, buttons] : {std::pair{QEvent::MouseButtonPress, Qt::LeftButton},
                                 std::pair{QEvent::MouseButtonRelease, Qt::NoButton}})
        QCoreApplication::postEvent(button, new QMouseEvent(type, at, button->mapToGlobal(at),
                                                            Qt::LeftButton, buttons, {}));
    EXPECT_TRUE(runHookUntil([&] { return !op.IsProgressRunning(); }));
}

TEST_F(ProgressWindow, AvbrytEndsADownloadThatWaitsOnAStalledServer) {
    CGuiWaitHook::install();
    constexpr int size = 5'000'000;
    CLoopbackServer server([](CLoopbackServer& s) {
        s.send("+OK\r\n");
        const std::string replies[] = {"-ERR\r\n",
                                       "+OK\r\n",
                                       "+OK\r\n",
                                       "+OK 1 5000000\r\n",
                                       "+OK\r\n1 5000000\r\n.\r\n",
                                       "+OK\r\n" + std::string(100000, 'x')};
        for (const std::string& reply : replies) {
            s.readLine(); // CAPA, USER, PASS, STAT, LIST, RETR 1
            s.send(reply);
        }
        s.waitFor();
    });
    CPop3Session session;
    session.setHost("127.0.0.1");
    session.setPort(server.port());
    session.setUser("anna");
    session.setPassword(CSecret("x"));
    ASSERT_TRUE(session.login() && session.stat() && session.list()) << session.getErrorText();

    QElapsedTimer sinceClick;
    QTimer::singleShot(300, [&] {
        QPointer<CProgressDlg> dlg = windowFor(size);
        ASSERT_TRUE(dlg);
        QTest::mouseClick(avbryt(dlg), Qt::LeftButton);
        sinceClick.start();
    });
    EXPECT_FALSE(CMessageDownload(session, &host, nullptr).run(1));
    ASSERT_TRUE(sinceClick.isValid()) << "the window never took its Avbryt";
    EXPECT_LT(sinceClick.elapsed(), 500);
    EXPECT_EQ(session.getErrorText(), "RETR: Avbrutet av användaren.");
    EXPECT_FALSE(session.isConnected());
}

TEST_F(ProgressWindow, WaitHookDoesNotNestInsideAHandlerThatBlocksAgain) {
    CGuiWaitHook::install();
    // Each handler queues the next, then blocks in a "socket call" that runs the hook. An
    // unguarded hook would deliver the next handler inside this one, and so on down.
    int depth = 0, deepest = 0, handled = 0;
    constexpr int handlers = 20;
    std::function<void()> handler = [&] {
        deepest = std::max(deepest, ++depth);
        if (++handled < handlers)
            QMetaObject::invokeMethod(qApp, handler, Qt::QueuedConnection);
        CWaitHook::run();
        --depth;
    };
    QMetaObject::invokeMethod(qApp, handler, Qt::QueuedConnection);
    for (int i = 0; i < 10 * handlers && handled < handlers; ++i)
        CWaitHook::run();
    EXPECT_EQ(handled, handlers) << "the hook stopped delivering events";
    EXPECT_EQ(deepest, 1);
}

} // namespace
