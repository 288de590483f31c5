#include "CScriptedDialogRunner.h"
#include "QStringOutput.h"
#include "app/CMaroketDlg.h"
#include "dialogs/CMarkNumberDlg.h"
#include "dialogs/CMarkSizeDlg.h"
#include "dialogs/CMarkTextDlg.h"
#include "dialogs/CSettingsDlg.h"
#include "dialogs/IdText.h"
#include "support/CFakeSocketFactory.h"
#include "support/CMemorySettingsStore.h"
#include "support/CScriptedProgressHost.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct Message {
    std::string size; // as LIST gives it
    std::string headers;
};

// Sizes around every threshold the tests use; sender and subject texts that differ in case, in
// column, and in having an address at all.
const std::vector<Message> mailbox = {
    {"1024", "From: Anna Ek <anna@example.org>\r\nSubject: Faktura mars\r\n"},
    {"1025", "From: bertil@example.org\r\nSubject: Re: faktura\r\n"},
    {"0", "From: Cecilia <cecilia@example.org>\r\nSubject: Hej\r\n"},
    {"2147483648", "From: David <david@example.org>\r\nSubject: Stor bilaga\r\n"},
    {"2147483649", "From: erik\r\n"},
    {"300", "Subject: =?iso-8859-1?Q?R=E4kning?=\r\n =?UTF-8?B?IGbDtnIgbcOlbmFkZW4=?=\r\n"},
};

using Fields = std::vector<std::pair<QString, QString>>;

// Answers a criterion dialog as its user would: it opens, the fields are typed over, OK.
template <class T> std::function<int(T&)> okWith(Fields fields, int unit = -1) {
    return [fields, unit](T& dlg) {
        dlg.show();
        for (const auto& [id, text] : fields)
            dlg.template findChild<QLineEdit*>(id)->setText(text);
        if (unit >= 0)
            dlg.template findChild<QComboBox*>(idText(ControlId::MarkUnitList))
                ->setCurrentIndex(unit);
        dlg.template findChild<QPushButton*>(idText(ControlId::Ok))->click();
        EXPECT_FALSE(dlg.isVisible()) << "OK was refused";
        dlg.hide();
        return dlg.result() == QDialog::Accepted ? 1 : 2;
    };
}

class CMarkingTest : public ::testing::Test {
protected:
    CMarkingTest() : window(store, runner) {
        window.setProgressHost(&progress);
        window.pop3().setSocketFactory(&sockets);
        window.settingsDlg().settings().port = 110;
        window.pop3().setPort(110);
    }
    void TearDown() override {
        for (const auto& script : scripts)
            EXPECT_TRUE(script->finished()) << script->report();
    }

    // One connection's conversation up to the end of the load: UIDL and TOP unless quick.
    CFakeScript& serve(const std::vector<Message>& messages, bool quick = false,
                       int cancelAtTop = 0) {
        scripts.push_back(sockets.addScript());
        CFakeScript& s = *scripts.back();
        s.server("+OK ready\r\n")
            .client("CAPA\r\n")
            .server("-ERR unknown command\r\n")
            .client("USER u\r\n")
            .server("+OK\r\n")
            .client("PASS p\r\n")
            .server("+OK\r\n")
            .client("STAT\r\n")
            .server("+OK " + std::to_string(messages.size()) + " 4000\r\n");
        std::string list = "+OK\r\n";
        for (std::size_t i = 0; i < messages.size(); ++i)
            list += std::to_string(i + 1) + " " + messages[i].size + "\r\n";
        if (quick)
            return s.client("LIST\r\n").server(list + ".\r\n");
        // A server without unique ids: the cache goes by number.
        if (!messages.empty())
            s.client("UIDL\r\n").server("-ERR not supported\r\n");
        s.client("LIST\r\n").server(list + ".\r\n");
        for (std::size_t i = 0; i < messages.size(); ++i) {
            const int n = static_cast<int>(i) + 1;
            s.client("TOP " + std::to_string(n) + " 0\r\n");
            if (n == cancelAtTop)
                s.action([this] { progress.cancelLatest(); });
            s.server("+OK\r\n" + messages[i].headers + "\r\n.\r\n");
            if (n == cancelAtTop)
                break;
        }
        return s;
    }
    void connect() {
        window.findChild<QLineEdit*>(idText(ControlId::ServerEdit))->setText("pop.example");
        window.findChild<QLineEdit*>(idText(ControlId::AccountEdit))->setText("u");
        window.findChild<QLineEdit*>(idText(ControlId::PasswordEdit))->setText("p");
        window.onCommand(CommandId::Connect);
        ASSERT_TRUE(window.isConnected()) << window.statusText();
    }
    void load(const std::vector<Message>& messages = mailbox) {
        serve(messages);
        connect();
    }

    // The marked messages by number, and the status line.
    std::vector<int> marked() const {
        std::vector<int> numbers;
        for (int i = 0; i < window.list()->topLevelItemCount(); ++i)
            if (window.list()->topLevelItem(i)->isSelected())
                numbers.push_back(i + 1);
        return numbers;
    }
    void select(std::initializer_list<int> numbers) {
        window.list()->clearSelection();
        for (int n : numbers)
            window.list()->topLevelItem(n - 1)->setSelected(true);
    }
    static std::string count(int n) { return std::to_string(n) + " brev markerade."; }

    // A criterion command on an unmarked list; the messages it marked.
    template <class T> std::vector<int> markAlone(CommandId id, Fields fields, int unit = -1) {
        window.list()->clearSelection();
        runner.expectDialog<T>(okWith<T>(std::move(fields), unit));
        window.onCommand(id);
        EXPECT_EQ(window.statusText(), count(static_cast<int>(marked().size())));
        return marked();
    }
    std::vector<int> byNumber(const QString& first, const QString& last) {
        return markAlone<CMarkNumberDlg>(
            CommandId::MarkByNumber,
            {{idText(ControlId::MarkFirstEdit), first}, {idText(ControlId::MarkLastEdit), last}});
    }
    std::vector<int> bySize(const QString& amount, int unit) {
        return markAlone<CMarkSizeDlg>(CommandId::MarkBySize,
                                       {{idText(ControlId::MarkAmountEdit), amount}}, unit);
    }
    std::vector<int> bySender(const QString& text) {
        return markAlone<CMarkTextDlg>(CommandId::MarkBySender,
                                       {{idText(ControlId::MarkSenderEdit), text}});
    }
    std::vector<int> bySubject(const QString& text) {
        return markAlone<CMarkTextDlg>(CommandId::MarkBySubject,
                                       {{idText(ControlId::MarkSubjectEdit), text}});
    }

    CMemorySettingsStore store;
    CScriptedDialogRunner runner;
    CScriptedProgressHost progress;
    CFakeSocketFactory sockets;
    std::vector<std::shared_ptr<CFakeScript>> scripts;
    CMaroketDlg window;
};

using V = std::vector<int>;

TEST_F(CMarkingTest, NumberRangeIsInclusiveNeverSwappedAndClippedToTheList) {
    load();
    EXPECT_EQ(byNumber("3", "3"), V{3});
    EXPECT_EQ(window.statusText(), count(1));
    EXPECT_EQ(byNumber("5", "2"), V{});
    EXPECT_EQ(window.statusText(), count(0));
    EXPECT_EQ(byNumber("0", "2"), (V{1, 2}));
    EXPECT_EQ(byNumber("6", "7"), V{6});
    EXPECT_EQ(byNumber("7", "7"), V{});
    // The widest range the fields hold: every message, and no counter running past the top.
    EXPECT_EQ(byNumber("-2147483648", "2147483647"), (V{1, 2, 3, 4, 5, 6}));
}

TEST_F(CMarkingTest, SizeIsStrictlyGreaterThanTheAmountInItsUnit) {
    load();
    EXPECT_EQ(bySize("1", 1), (V{2, 4, 5})) << "exactly 1024 bytes is not larger than 1 kB";
    EXPECT_EQ(bySize("0", 2), (V{1, 2, 4, 5, 6}));
    EXPECT_EQ(bySize("-1", 2), (V{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(bySize("-2147483648", 0), (V{1, 2, 3, 4, 5, 6}));
    // 2048 MB is 2^31 bytes: only the one message above it.
    EXPECT_EQ(bySize(" 2048 ", 0), V{5});
    EXPECT_EQ(bySize("2147483647", 0), V{});
    // The list opens on "MB".
    EXPECT_EQ(bySize("1", -1), (V{4, 5}));
}

TEST_F(CMarkingTest, SenderAndSubjectAreCaseSensitiveSubstringsOfTheirOwnColumn) {
    load();
    EXPECT_EQ(bySender("Bertil"), V{});
    EXPECT_EQ(bySender("bertil"), V{2});
    EXPECT_EQ(bySender("@"), (V{1, 2, 3, 4})) << "not erik, not the message without a sender";
    EXPECT_EQ(bySender(""), (V{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(bySender("Faktura"), V{}) << "a subject is not a sender";
    EXPECT_EQ(bySubject("Faktura"), V{1});
    EXPECT_EQ(bySubject("aktura"), (V{1, 2}));
    EXPECT_EQ(bySubject("example"), V{});
    EXPECT_EQ(bySubject(""), (V{1, 2, 3, 4, 5, 6}));
    // Typed text meets the decoded subject byte for byte, in UTF-8, whatever the charset and
    // the encoding of the words it came in.
    EXPECT_EQ(bySubject(QStringLiteral("Räkning")), V{6});
    EXPECT_EQ(bySubject(QStringLiteral("räkning")), V{});
    EXPECT_EQ(bySubject(QStringLiteral("g för må")), V{6});
}

TEST_F(CMarkingTest, CriteriaOnlyAddToWhatIsMarked) {
    load();
    select({1});
    runner.expectDialog<CMarkTextDlg>(
        okWith<CMarkTextDlg>({{idText(ControlId::MarkSenderEdit), "bertil"}}));
    window.onCommand(CommandId::MarkBySender);
    runner.expectDialog<CMarkSizeDlg>(
        okWith<CMarkSizeDlg>({{idText(ControlId::MarkAmountEdit), "2048"}}));
    window.onCommand(CommandId::MarkBySize);
    EXPECT_EQ(marked(), (V{1, 2, 5}));
    EXPECT_EQ(window.statusText(), count(3));
    // A criterion that matches nothing reports the count as it stands.
    runner.expectDialog<CMarkTextDlg>(
        okWith<CMarkTextDlg>({{idText(ControlId::MarkSubjectEdit), "ingenting"}}));
    window.onCommand(CommandId::MarkBySubject);
    EXPECT_EQ(marked(), (V{1, 2, 5}));
    EXPECT_EQ(window.statusText(), count(3));
}

TEST_F(CMarkingTest, AllNoneAndInvertFromTheToolbar) {
    load();
    auto toolbar = [&](CommandId id) {
        for (QAction* a : window.findChild<QToolBar*>(idText(ControlId::ToolBar))->actions())
            if (a->data().toInt() == idNumber(id)) {
                a->trigger(); // the command runs from the event loop
                QCoreApplication::processEvents();
                return;
            }
        ADD_FAILURE() << "no toolbar entry " << idNumber(id);
    };
    select({1, 3});
    toolbar(CommandId::InvertMarks);
    EXPECT_EQ(marked(), (V{2, 4, 5, 6}));
    EXPECT_EQ(window.statusText(), count(4));
    toolbar(CommandId::InvertMarks);
    EXPECT_EQ(marked(), (V{1, 3}));
    EXPECT_EQ(window.statusText(), count(2));
    toolbar(CommandId::MarkAll);
    EXPECT_EQ(marked(), (V{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(window.statusText(), count(6));
    toolbar(CommandId::MarkNone);
    EXPECT_EQ(marked(), V{});
    EXPECT_EQ(window.statusText(), count(0));
}

TEST_F(CMarkingTest, ImmediateCommandsOnAnEmptyListReportZero) {
    for (CommandId id : {CommandId::InvertMarks, CommandId::MarkAll, CommandId::MarkNone}) {
        window.setStatus("");
        window.onCommand(id);
        EXPECT_EQ(window.statusText(), count(0)) << idNumber(id);
    }
}

TEST_F(CMarkingTest, AvbrytInAnyDialogChangesNothing) {
    load();
    select({2});
    window.setStatus("before");
    auto cancel = [](const QString& field, const QString& text) {
        return [field, text](QDialog& dlg) {
            dlg.show();
            dlg.findChild<QLineEdit*>(field)->setText(text);
            dlg.findChild<QPushButton*>(idText(ControlId::Cancel))->click();
            return dlg.result() == QDialog::Accepted ? 1 : 2;
        };
    };
    runner.expectDialog<CMarkNumberDlg>(cancel(idText(ControlId::MarkFirstEdit), "1"));
    runner.expectDialog<CMarkSizeDlg>(cancel(idText(ControlId::MarkAmountEdit), "-1"));
    runner.expectDialog<CMarkTextDlg>(cancel(idText(ControlId::MarkSenderEdit), ""));
    runner.expectDialog<CMarkTextDlg>(cancel(idText(ControlId::MarkSubjectEdit), ""));
    for (CommandId id : {CommandId::MarkByNumber, CommandId::MarkBySize, CommandId::MarkBySender,
                         CommandId::MarkBySubject}) {
        window.onCommand(id);
        EXPECT_EQ(marked(), V{2}) << idNumber(id);
        EXPECT_EQ(window.statusText(), "before") << idNumber(id);
    }
}

TEST_F(CMarkingTest, ARefusedAmountKeepsTheDialogOpenAndMarksNothing) {
    load();
    window.setStatus("before");
    runner.expectDialog<CMarkSizeDlg>([](CMarkSizeDlg& dlg) {
        std::vector<QString> warnings;
        dlg.setWarningHook([&](const QString& text) { warnings.push_back(text); });
        dlg.show();
        auto* amount = dlg.findChild<QLineEdit*>(idText(ControlId::MarkAmountEdit));
        amount->setText("-1 MB");
        dlg.findChild<QPushButton*>(idText(ControlId::Ok))->click();
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(warnings, std::vector<QString>{"Please enter an integer."});
        EXPECT_EQ(dlg.focusWidget(), amount);
        dlg.findChild<QPushButton*>(idText(ControlId::Cancel))->click();
        return dlg.result() == QDialog::Accepted ? 1 : 2;
    });
    window.onCommand(CommandId::MarkBySize);
    EXPECT_EQ(marked(), V{});
    EXPECT_EQ(window.statusText(), "before");
}

TEST_F(CMarkingTest, TheMarkMenuReachesEachDialog) {
    load();
    runner.expectDialog<CMarkNumberDlg>(okWith<CMarkNumberDlg>(
        {{idText(ControlId::MarkFirstEdit), "1"}, {idText(ControlId::MarkLastEdit), "1"}}));
    runner.expectDialog<CMarkSizeDlg>(
        okWith<CMarkSizeDlg>({{idText(ControlId::MarkAmountEdit), "1"}}, 1));
    runner.expectDialog<CMarkTextDlg>(
        okWith<CMarkTextDlg>({{idText(ControlId::MarkSenderEdit), "Cecilia"}}));
    runner.expectDialog<CMarkTextDlg>(
        okWith<CMarkTextDlg>({{idText(ControlId::MarkSubjectEdit), "Stor"}}));
    for (QAction* item : window.markMenu()->actions()) {
        item->trigger();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(marked(), (V{1, 2, 3, 4, 5}));
    EXPECT_EQ(window.statusText(), count(5));
}

// Only the rows that have an entry in the column can match: after a cancelled load the senders
// stop at message 2 while every size is known.
TEST_F(CMarkingTest, EachCriterionReadsItsOwnColumnAfterACancelledLoad) {
    serve(mailbox, false, 2);
    connect();
    ASSERT_EQ(window.list()->topLevelItemCount(), 6);
    EXPECT_EQ(bySender(""), (V{1, 2}));
    EXPECT_EQ(bySubject(""), (V{1, 2}));
    EXPECT_EQ(bySize("0", 2), (V{1, 2, 4, 5, 6}));
}

// After a quick login the rows carry no sizes or headers. Headers cached by an earlier full load
// of the same account do not belong to these rows and must not mark them.
TEST_F(CMarkingTest, AfterAQuickLoginSizeSenderAndSubjectMarkNothing) {
    load();
    serve(mailbox, true); // the next connection, at or above "QuickLogin"
    scripts.front()->client("QUIT\r\n").server("+OK\r\n");
    window.onCommand(CommandId::Connect);
    window.settingsDlg().settings().quickLogin = 6;
    connect();
    ASSERT_FALSE(window.isFullLoad());
    ASSERT_EQ(window.pop3().messageTable().rowCount(), 6);

    EXPECT_EQ(byNumber("2", "2"), V{2}) << "numbers still work";
    select({2});
    runner.expectDialog<CMarkSizeDlg>(
        okWith<CMarkSizeDlg>({{idText(ControlId::MarkAmountEdit), "-1"}}));
    runner.expectDialog<CMarkTextDlg>(
        okWith<CMarkTextDlg>({{idText(ControlId::MarkSenderEdit), ""}}));
    runner.expectDialog<CMarkTextDlg>(
        okWith<CMarkTextDlg>({{idText(ControlId::MarkSubjectEdit), ""}}));
    for (CommandId id :
         {CommandId::MarkBySize, CommandId::MarkBySender, CommandId::MarkBySubject}) {
        window.setStatus("");
        window.onCommand(id);
        EXPECT_EQ(marked(), V{2}) << idNumber(id);
        EXPECT_EQ(window.statusText(), count(1)) << idNumber(id);
    }
}

} // namespace
