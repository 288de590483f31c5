#include "CScriptedDialogRunner.h"
#include "app/CMaroketDlg.h"
#include "dialogs/CContentDlg.h"
#include "dialogs/CSettingsDlg.h"
#include "dialogs/IdText.h"
#include "peers/CDovecotPeer.h"
#include "peers/CPeerProcess.h"
#include "support/CMemorySettingsStore.h"
#include "support/CScriptedProgressHost.h"

#include <QLineEdit>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr int kMessages = 200;

std::string numbered(const std::string& folder, int n, const char* suffix) {
    char name[16];
    std::snprintf(name, sizeof name, "/%03d%s", n, suffix);
    return folder + name;
}

std::vector<std::string> fieldsOf(const std::string& text) {
    std::vector<std::string> fields(1);
    for (char c : text) {
        if (c == '\0')
            fields.emplace_back();
        else
            fields.back().push_back(c);
    }
    return fields;
}

} // namespace

// Two hundred messages of today's mail (senders and subjects as UTF-8, ISO-8859-15 and
// Windows-1252 words in either encoding and case, several to a field, folded, raw UTF-8 and
// ISO-8859-1 headers; multipart, HTML-only, base64 and quoted-printable bodies) written by
// CPython's email package, served by Dovecot: every row and every preview of the main window
// reads as CPython reads the message.
TEST(CTodaysMailTest, EveryRowAndEveryPreviewReadsAsWritten) {
    char folder[] = "/tmp/maroket-todays-mail-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    const std::string python =
        ::access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
    const std::string command = python + " " MAROKET_GUI_TESTS_DIR "/todays-mail.py " + folder;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    CDovecotPeer peer;
    std::string error;
    ASSERT_TRUE(peer.start(error)) << error;
    for (int n = 1; n <= kMessages; ++n)
        ASSERT_TRUE(peer.addMessage(CPeerProcess::readFile(numbered(folder, n, ".eml"))));

    CMemorySettingsStore store;
    CScriptedDialogRunner runner;
    CScriptedProgressHost progress;
    CMaroketDlg window(store, runner);
    window.setProgressHost(&progress);
    window.settingsDlg().settings().port = peer.port();
    window.pop3().setPort(peer.port());
    const std::pair<ControlId, std::string> login[] = {{ControlId::ServerEdit, peer.host()},
                                                       {ControlId::AccountEdit, peer.user()},
                                                       {ControlId::PasswordEdit, peer.password()}};
    for (const auto& [id, text] : login)
        window.findChild<QLineEdit*>(idText(id))->setText(QString::fromStdString(text));
    window.onCommand(CommandId::Connect);
    ASSERT_TRUE(window.isConnected()) << window.statusText() << peer.log();
    ASSERT_EQ(window.list()->topLevelItemCount(), kMessages);

    for (int n = 1; n <= kMessages; ++n) {
        SCOPED_TRACE(numbered(folder, n, ".eml"));
        const auto expected = fieldsOf(CPeerProcess::readFile(numbered(folder, n, ".txt")));
        ASSERT_EQ(expected.size(), 3u);
        QTreeWidgetItem* row = window.list()->topLevelItem(n - 1);
        EXPECT_EQ(row->text(0).toStdString(), std::to_string(n) + ". " + expected[0]);
        EXPECT_EQ(row->text(1).toStdString(), expected[1]);

        window.list()->clearSelection();
        row->setSelected(true);
        std::string shown;
        runner.expectDialog<CContentDlg>([&shown](CContentDlg& dialog) {
            shown = dialog.text();
            return 1;
        });
        window.onCommand(CommandId::View);
        EXPECT_EQ(shown, expected[2]);
    }
    std::filesystem::remove_all(folder);
}
