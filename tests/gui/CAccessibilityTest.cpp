#include "CScriptedDialogRunner.h"
#include "app/CMaroketDlg.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CComposeDlg.h"
#include "dialogs/CContentDlg.h"
#include "dialogs/CForwardDlg.h"
#include "dialogs/CMarkNumberDlg.h"
#include "dialogs/CMarkSizeDlg.h"
#include "dialogs/CMarkTextDlg.h"
#include "dialogs/CProgressDlg.h"
#include "dialogs/CSettingsDlg.h"
#include "dialogs/CUiText.h"
#include "dialogs/IdText.h"
#include "resources/CStringTable.h"
#include "support/CFakeSocketFactory.h"
#include "support/CMemorySettingsStore.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// What a screen reader hears of the window's status line.
QString spokenStatus(CMaroketDlg& w) {
    for (QLabel* label : w.findChildren<QLabel*>(idText(ControlId::StatusLine)))
        if (label->window() == &w)
            return QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name);
    return {};
}

// Every node a screen reader can reach below node that stands for a control, with no name.
void collectUnnamed(QAccessibleInterface* node, QStringList& unnamed) {
    if (!node || node->state().invisible)
        return;
    switch (node->role()) {
    case QAccessible::Client: // plain containers and a scroll area's parts
    case QAccessible::Separator:
    case QAccessible::ScrollBar:
        break;
    default:
        if (node->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << QString("%1 (role %2)")
                           .arg(node->object() ? node->object()->metaObject()->className() : "?")
                           .arg(node->role());
    }
    for (int i = 0; i < node->childCount(); ++i)
        collectUnnamed(node->child(i), unnamed);
}

TEST(Accessibility, TheStatusLineIsReadByItsText) {
    CMemorySettingsStore store;
    CScriptedDialogRunner runner;
    CMaroketDlg w(store, runner);
    CFakeSocketFactory fake;
    w.pop3().setSocketFactory(&fake);
    fake.addScript()
        ->server("+OK\r\n")
        .client("CAPA\r\n")
        .server("-ERR\r\n")
        .client("USER u\r\n")
        .server("+OK\r\n")
        .client("PASS p\r\n")
        .server("+OK\r\n")
        .client("STAT\r\n")
        .server("+OK 1 60\r\n")
        .client("UIDL\r\n")
        .server("+OK\r\n1 a\r\n.\r\n")
        .client("LIST\r\n")
        .server("+OK\r\n1 60\r\n.\r\n")
        .client("TOP 1 0\r\n")
        .server("+OK\r\nFrom: a@example.org\r\nSubject: s\r\n\r\n.\r\n");
    w.findChild<QLineEdit*>(idText(ControlId::AccountEdit))->setText("u");
    w.findChild<QLineEdit*>(idText(ControlId::PasswordEdit))->setText("p");
    EXPECT_EQ(spokenStatus(w), CUiText::toQString(CStringTable::load(StringId::Disconnected)));
    w.show();
    w.onCommand(CommandId::Connect);
    ASSERT_TRUE(w.isConnected()) << w.statusText();

    // The status line is read as the status bar, by the text it shows now.
    QLabel* line = w.findChild<QLabel*>(idText(ControlId::StatusLine));
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(line);
    EXPECT_EQ(spoken->role(), QAccessible::StatusBar);
    EXPECT_EQ(spokenStatus(w), CUiText::toQString(w.statusText()));
    EXPECT_TRUE(spokenStatus(w).startsWith(
        CUiText::toQString(CStringTable::load(StringId::DoneAccountHas))));
    // The name follows every text, also one with a server's line end.
    w.setStatus("-ERR nope\r\n");
    EXPECT_EQ(spokenStatus(w), "-ERR nope");
}

TEST(Accessibility, EveryControlOfEveryWindowIsNamed) {
    CMemorySettingsStore store;
    CScriptedDialogRunner runner;
    auto progress = std::make_shared<ProgressState>();
    progress->total = 10;
    std::vector<std::unique_ptr<QWidget>> windows;
    windows.push_back(std::make_unique<CMaroketDlg>(store, runner));
    windows.push_back(std::make_unique<CProgressDlg>(progress));
    windows.push_back(std::make_unique<CMarkNumberDlg>());
    windows.push_back(std::make_unique<CMarkSizeDlg>());
    windows.push_back(std::make_unique<CMarkTextDlg>(CMarkTextDlg::Criterion::Subject));
    windows.push_back(std::make_unique<CSettingsDlg>());
    windows.push_back(std::make_unique<CForwardDlg>());
    windows.push_back(std::make_unique<CContentDlg>());
    windows.push_back(std::make_unique<CComposeDlg>());
    windows.push_back(std::make_unique<CAboutDlg>());
    for (auto& window : windows) {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QStringList unnamed;
        collectUnnamed(QAccessible::queryAccessibleInterface(window.get()), unnamed);
        EXPECT_TRUE(unnamed.isEmpty())
            << window->metaObject()->className() << ": " << unnamed.join(", ").toStdString();
    }
    // The list's pop-up menus are windows of their own.
    auto& main = static_cast<CMaroketDlg&>(*windows.front());
    for (QMenu* menu : {main.viewMenu(), main.markMenu()})
        EXPECT_FALSE(
            QAccessible::queryAccessibleInterface(menu)->text(QAccessible::Name).isEmpty());
}

} // namespace
