#include "CScriptedDialogRunner.h"
#include "app/CMaroketDlg.h"
#include "app/CStartOptions.h"
#include "dialogs/IdText.h"
#include "peers/CDemoPeers.h"
#include "platform/ISettingsStore.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

template <class T> T* control(CMaroketDlg& window, const QString& id) {
    for (T* c : window.findChildren<T*>(id))
        if (c->window() == &window)
            return c;
    return nullptr;
}

} // namespace

// The set-up of tools/run.sh --demo, headless: the window started with the demo's options lists
// the demo mailbox after one Enter, and what its quick-send panel sends reaches the sink, which
// prints its header lines.
TEST(CDemoTest, OneEnterListsTheDemoMailboxAndAQuickSendReachesTheSink) {
    CDemoPeers demo;
    std::string error;
    ASSERT_TRUE(demo.start(error)) << error;
    ASSERT_EQ(demo.messageCount(), 40);

    std::vector<std::string> words = {"maroket"};
    for (const std::string& option : demo.programOptions())
        words.push_back(option);
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(words.size());
    CStartOptions options;
    ASSERT_TRUE(options.parse(argc, argv.data())) << options.errorText();
    EXPECT_EQ(argc, 1) << "every demo option is the program's own";

    const auto store = options.makeStore();
    CScriptedDialogRunner runner;
    CMaroketDlg window(*store, runner);
    options.fillLoginFields(window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    ASSERT_FALSE(window.isConnected());
    QWidget* focused = window.focusWidget();
    QTest::keyClick(focused ? focused : &window, Qt::Key_Return);
    ASSERT_TRUE(window.isConnected()) << window.statusText() << demo.mailbox().log();
    EXPECT_EQ(window.statusText().rfind("Klar. Kontot har 40 brev", 0), 0u) << window.statusText();
    ASSERT_EQ(window.list()->topLevelItemCount(), 40);
    EXPECT_EQ(window.list()->topLevelItem(0)->text(0), "1. Per Holm <per.holm@example.org>");
    EXPECT_EQ(window.list()->topLevelItem(0)->text(1), "Lunch on Friday?");
    EXPECT_EQ(window.list()->topLevelItem(39)->text(1), "Happy holidays!");

    control<QLineEdit>(window, idText(ControlId::QuickToEdit))->setText("bo@example.org");
    control<QLineEdit>(window, idText(ControlId::QuickTextEdit))->setText("Hej från demon!");
    QTest::mouseClick(control<QPushButton>(window, idText(CommandId::QuickSend)), Qt::LeftButton);
    EXPECT_EQ(window.statusText(), "Brev skickat.");
    ASSERT_TRUE(demo.sink().waitForMessages(1)) << demo.sink().log();
    const auto sent = demo.sink().messages().at(0);
    EXPECT_EQ(sent.sender, CDemoPeers::kAddress);
    EXPECT_EQ(sent.recipients, std::vector<std::string>{"bo@example.org"});

    // What the terminal shows: the envelope, then the header lines as they arrived.
    std::string header = sent.data.substr(0, sent.data.find("\r\n\r\n") + 2);
    for (std::size_t at; (at = header.find("\r\n")) != std::string::npos;)
        header.replace(at, 2, "\n");
    ASSERT_NE(header.find("X-Mailer: "), std::string::npos) << sent.data;
    const std::string shown = demo.sink().log();
    EXPECT_NE(shown.find("--- message 1 from <anna@example.org> to <bo@example.org>, " +
                         std::to_string(sent.data.size()) + " bytes ---\n" + header + "\n"),
              std::string::npos)
        << shown;
}
