#include "CScriptedDialogRunner.h"
#include "app/CMaroketDlg.h"
#include "dialogs/CComposeDlg.h"
#include "dialogs/CContentDlg.h"
#include "dialogs/CForwardDlg.h"
#include "dialogs/CSettingsDlg.h"
#include "dialogs/IdText.h"
#include "peers/CDnsmasqPeer.h"
#include "peers/CDovecotPeer.h"
#include "peers/CFreePort.h"
#include "peers/CScopedTrustStore.h"
#include "peers/CSmtpSinkPeer.h"
#include "peers/CTestCertificates.h"
#include "resources/CStringTable.h"
#include "send/CMessageFlows.h"
#include "support/CFakeSocketFactory.h"
#include "support/CFixedStamps.h"
#include "support/CMemorySettingsStore.h"
#include "support/CRecordingSocketFactory.h"
#include "support/CScriptedProgressHost.h"
#include "support/TempFolder.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

// What a POP3 server sends of a message stored with LF line ends.
std::string crlf(const std::string& lf) {
    std::string out;
    for (char c : lf) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

// A downloaded message's file left behind in the per-user folder.
bool tempFileExists() {
    return filesInTempFolder() != 0;
}

// The compose dialog's controls while it is open.
struct ComposeControls {
    QLineEdit* from;
    QLineEdit* to;
    QLineEdit* subject;
    QPlainTextEdit* body;
    QCheckBox* direct;
};

// Opens the compose dialog as running it would (the fields go into the controls), lets the test
// look and type, then ends it with "Skicka", or "Avbryt" when send is false.
std::function<int(CComposeDlg&)> compose(std::function<void(ComposeControls&)> edit,
                                         bool send = true) {
    return [edit, send](CComposeDlg& d) {
        d.show();
        ComposeControls c{d.findChild<QLineEdit*>(idText(ControlId::FromEdit)),
                          d.findChild<QLineEdit*>(idText(ControlId::ToEdit)),
                          d.findChild<QLineEdit*>(idText(ControlId::SubjectEdit)),
                          d.findChild<QPlainTextEdit*>(idText(ControlId::BodyEdit)),
                          d.findChild<QCheckBox*>(idText(ControlId::DirectBox))};
        edit(c);
        if (!send) {
            d.setDiscardQuestion([](const QString&) { return true; }); // "Ja" to "Kasta brevet?"
            d.reject();
            return 2;
        }
        d.accept();
        return 1;
    };
}

std::function<int(CForwardDlg&)> forwardTo(const QString& address, bool deleteAfter) {
    return [address, deleteAfter](CForwardDlg& d) {
        d.show();
        EXPECT_EQ(d.findChild<QLineEdit*>(idText(ControlId::ForwardAddressEdit))->text(), "");
        EXPECT_FALSE(d.findChild<QCheckBox*>(idText(ControlId::DeleteAfterBox))->isChecked());
        d.findChild<QLineEdit*>(idText(ControlId::ForwardAddressEdit))->setText(address);
        d.findChild<QCheckBox*>(idText(ControlId::DeleteAfterBox))->setChecked(deleteAfter);
        d.accept();
        return 1;
    };
}

// SMTP and DNS sockets that note what the status line said when a lookup started and when a
// mail server was greeted.
class CStatusAtSocketFactory : public CRecordingSocketFactory {
public:
    std::unique_ptr<IDatagramSocket> createDatagramSocket() override {
        if (status)
            atLookup.push_back(status());
        return CRecordingSocketFactory::createDatagramSocket();
    }
    std::function<std::string()> status;
    std::vector<std::string> atLookup;
    std::vector<std::string> atHelo;
};

// Progress windows that the test can have closed by the user as soon as they open.
class CClosingProgressHost : public CScriptedProgressHost {
public:
    void openProgressWindow(std::shared_ptr<ProgressState> state) override {
        if (closeNext) {
            state->cancelled.store(true);
            state->ended.store(true);
        }
        closeNext = false;
        CScriptedProgressHost::openProgressWindow(std::move(state));
    }
    bool closeNext = false;
};

// The main window with the settings a test gives, scripted prompts and recording sockets.
class CSendWindow {
public:
    explicit CSendWindow(const std::function<void(CMemorySettingsStore&)>& settings)
        : window((settings(store), store), runner) {
        window.setProgressHost(&progress);
        window.pop3().setSocketFactory(&pop3Sockets);
        window.smtp().setSocketFactory(&smtpSockets);
        window.smtp().setMessageStamps(&stamps);
        smtpSockets.status = [this] { return window.statusText(); };
        smtpSockets.onSend([this](const std::string& line) {
            if (line.rfind("HELO ", 0) == 0)
                smtpSockets.atHelo.push_back(window.statusText());
        });
        pop3Sockets.onSend([this](const std::string& line) {
            if (line.rfind("RETR ", 0) == 0)
                atRetr.push_back(window.statusText());
            if (onPop3Send)
                onPop3Send(line);
        });
    }
    QLineEdit* edit(const QString& id) {
        for (auto* e : window.findChildren<QLineEdit*>(id))
            if (e->window() == &window)
                return e;
        return nullptr;
    }
    void login(const CDovecotPeer& peer) {
        window.settingsDlg().settings().port = peer.port();
        window.pop3().setPort(peer.port());
        edit(idText(ControlId::ServerEdit))->setText(QString::fromStdString(peer.host()));
        edit(idText(ControlId::AccountEdit))->setText(QString::fromStdString(peer.user()));
        edit(idText(ControlId::PasswordEdit))->setText(QString::fromStdString(peer.password()));
        window.onCommand(CommandId::Connect);
        ASSERT_TRUE(window.isConnected()) << window.statusText() << peer.log();
    }
    void select(std::initializer_list<int> messages) {
        window.list()->clearSelection();
        for (int n : messages)
            window.list()->topLevelItem(n - 1)->setSelected(true);
    }
    QStringList firstColumn() const {
        QStringList texts;
        for (int i = 0; i < window.list()->topLevelItemCount(); ++i)
            texts << window.list()->topLevelItem(i)->text(0);
        return texts;
    }
    // The POP3 commands sent, without the load's.
    std::vector<std::string> pop3Commands(std::size_t from) const {
        const auto& sent = pop3Sockets.sent();
        return {sent.begin() + static_cast<std::ptrdiff_t>(from), sent.end()};
    }

    CMemorySettingsStore store;
    CScriptedDialogRunner runner;
    CClosingProgressHost progress;
    CRecordingSocketFactory pop3Sockets;
    CStatusAtSocketFactory smtpSockets;
    CFixedStamps stamps;
    std::vector<std::string> atRetr;
    std::function<void(const std::string&)> onPop3Send;
    CMaroketDlg window;
};

const std::string kMime = "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=iso-8859-1\r\n"
                          "Content-Transfer-Encoding: quoted-printable\r\n";

std::string message(int n, const std::string& body = "Hej.\n") {
    const std::string number = std::to_string(n);
    return "From: Avs" + number + " <a" + number + "@example.org>\nSubject: Brev " + number +
           "\nDate: Tue, 8 Dec 2026 10:00:00 +0100\nMessage-ID: <" + number + "@example.org>\n\n" +
           body;
}

// The header block of a composed message under the fixed stamps, with the empty line after it.
std::string head(const std::string& from, const std::string& to, const std::string& subject,
                 const std::string& mime = "") {
    return CFixedStamps::start() + "From: " + from + "\r\nTo: " + to + "\r\nSubject: " + subject +
           "\r\nMessage-ID: <1@example.org>\r\n" + mime + "\r\n";
}

class CSendFlowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(sink.start(error)) << error;
    }
    void startPop3(const std::vector<std::string>& messages) {
        std::string error;
        ASSERT_TRUE(pop.start(error)) << error;
        for (const auto& m : messages)
            ASSERT_TRUE(pop.addMessage(m));
    }
    // Mail goes to the sink through "Smtpserver".
    std::function<void(CMemorySettingsStore&)> viaSink(const std::string& address = {}) {
        return [this, address](CMemorySettingsStore& s) {
            s.strings["Smtpserver"] = sink.host();
            s.ints["Smtpport"] = sink.port();
            s.strings["Address"] = address;
        };
    }
    CSmtpSinkPeer::Message received(std::size_t count) {
        EXPECT_TRUE(sink.waitForMessages(count)) << sink.log();
        auto all = sink.messages();
        EXPECT_EQ(all.size(), count);
        return all.empty() ? CSmtpSinkPeer::Message{} : all.back();
    }

    CSmtpSinkPeer sink;
    CDovecotPeer pop;
};

TEST(MessageFlows, RecipientDomainIsWhatFollowsTheFirstAt) {
    EXPECT_EQ(CMessageFlows::recipientDomain("bo@example.org"), "example.org");
    EXPECT_EQ(CMessageFlows::recipientDomain("Bo B <bo@example.org>"), "example.org");
    EXPECT_EQ(CMessageFlows::recipientDomain("a@b@c.se>>"), "b@c.se");
    EXPECT_EQ(CMessageFlows::recipientDomain("example.org"), "example.org");
    EXPECT_EQ(CMessageFlows::recipientDomain(""), "");
}

TEST(MessageFlows, ReplyBodyIsTheMessageBelowItsHeaderBlock) {
    const std::string header = "Subject: x\r\n\r\n";
    const std::string top = header + ".\r\n";
    auto body = [&](const std::string& retrieved) {
        return CMessageFlows::replyBody(retrieved, top.size());
    };
    // Without the marker codes stay; the server's doubled dots are undone; the end is cut.
    EXPECT_EQ(body(header + "a=E5\r\n..punkt\r\n.\r\n"), "a=E5\r\n.punkt");
    // A transfer encoding is decoded from the first byte of the body on (soft breaks joined,
    // a zero byte dropped), its text read as Windows-1252 where no charset is declared, and a
    // decoded lone dot does not end the text.
    const std::string qp = "Content-Transfer-Encoding: quoted-printable\r\n\r\n";
    EXPECT_EQ(CMessageFlows::replyBody(qp + "=C5sa mj=\r\nuk\r\n=2E\r\nslut =00 =e5\r\n.\r\n",
                                       qp.size() + 3),
              "Åsa mjuk\r\n.\r\nslut  å");
    // A file cut short keeps everything; a header longer than the file, or a file of header
    // lines alone, leaves nothing.
    EXPECT_EQ(body(header + "a\r\nb"), "a\r\nb");
    EXPECT_EQ(body("kort"), "");
    EXPECT_EQ(CMessageFlows::replyBody("hela", 0), "");
}

TEST_F(CSendFlowsTest, NewMessageArrivesWithExactlyItsComposedHeaderAndBody) {
    CSendWindow w(viaSink("Anna A <anna@example.org>"));
    w.window.smtp().quotedPrintable = 1; // a new message lets its text choose the encoding
    w.runner.expectDialog<CComposeDlg>(compose([](ComposeControls& c) {
        EXPECT_EQ(c.from->text(), "Anna A <anna@example.org>");
        EXPECT_EQ(c.to->text(), "");
        EXPECT_EQ(c.subject->text(), "");
        EXPECT_EQ(c.body->toPlainText(), "");
        EXPECT_TRUE(c.direct->isChecked()); // but no DNS server: "Smtpserver" is used
        c.to->setText("Bo B <bo@example.org>");
        c.subject->setText(utf8("Möte"));
        c.body->setPlainText(utf8("Rad ett\n.\nrad två"));
    }));
    w.window.onCommand(CommandId::NewMessage);
    EXPECT_EQ(w.window.statusText(), "Brev skickat.");
    EXPECT_EQ(w.smtpSockets.atHelo, std::vector<std::string>{"Skickar brev... 127.0.0.1"});
    EXPECT_TRUE(w.smtpSockets.atLookup.empty());
    const auto m = received(1);
    EXPECT_EQ(m.helo, "nada");
    EXPECT_EQ(m.sender, "anna@example.org");
    EXPECT_EQ(m.recipients, std::vector<std::string>{"bo@example.org"});
    EXPECT_EQ(m.data, head("Anna A <anna@example.org>", "Bo B <bo@example.org>",
                           "=?iso-8859-1?Q?M=F6te?=", kMime) +
                          "Rad ett\r\n=2E\r\nrad tv=E5\r\n");

    // "Avbryt" sends nothing and leaves the status line alone.
    w.runner.expectDialog<CComposeDlg>(compose([](ComposeControls&) {}, false));
    w.window.onCommand(CommandId::NewMessage);
    EXPECT_EQ(w.window.statusText(), "Brev skickat.");

    // A server that is not there: the session's reason, nothing more.
    sink.stop();
    w.runner.expectDialog<CComposeDlg>(
        compose([](ComposeControls& c) { c.to->setText("bo@example.org"); }));
    w.window.onCommand(CommandId::NewMessage);
    EXPECT_EQ(w.window.statusText(), "Kan inte ansluta. Servern nekade anslutningen (port " +
                                         std::to_string(sink.port()) + ").");
}

TEST_F(CSendFlowsTest, ReplyQuotesTheDecodedMessageAndQuickSendKeepsItsSubject) {
    startPop3({message(1),
               "From: Avs <avs@example.org>\nSubject: =?iso-8859-1?Q?R=E4kning?=\n"
               "MIME-Version: 1.0\nContent-Type: text/plain; charset=iso-8859-1\n"
               "Content-Transfer-Encoding: quoted-printable\n\n"
               "=C5sa skrev p=E5 l=F6rdag: mjuk=\nrad\n.punkt f=F6rst\nkod =3D41 och =00\n"});
    CSendWindow w(viaSink("Anna <anna@example.org>"));
    w.login(pop);

    w.window.list()->clearSelection();
    w.window.onCommand(CommandId::Reply);
    EXPECT_EQ(w.window.statusText(), "Du måste markera ett brev innan du trycker Svara.");

    w.select({2});
    const std::size_t before = w.pop3Sockets.sent().size();
    w.runner.expectDialog<CComposeDlg>(compose([](ComposeControls& c) {
        EXPECT_EQ(c.from->text(), "Anna <anna@example.org>");
        EXPECT_EQ(c.to->text(), "Avs <avs@example.org>");
        EXPECT_EQ(c.subject->text(), utf8("Räkning")); // no prefix
        EXPECT_FALSE(c.direct->isChecked());
        EXPECT_EQ(c.body->toPlainText(),
                  utf8("> Åsa skrev på lördag: mjukrad\n> .punkt först\n> kod =41 och "));
        c.body->moveCursor(QTextCursor::Start);
        c.body->insertPlainText("Tack!\n");
    }));
    w.window.onCommand(CommandId::Reply);
    EXPECT_EQ(w.pop3Commands(before),
              (std::vector<std::string>{"RETR 2\r\n", "RSET\r\n", "TOP 2 0\r\n"}));
    EXPECT_FALSE(tempFileExists());
    EXPECT_EQ(w.window.statusText(), "Brev skickat.");
    auto m = received(1);
    EXPECT_EQ(m.sender, "anna@example.org");
    EXPECT_EQ(m.recipients, std::vector<std::string>{"avs@example.org"});
    const std::string subject = "=?iso-8859-1?Q?R=E4kning?=";
    EXPECT_EQ(m.data, head("Anna <anna@example.org>", "Avs <avs@example.org>", subject, kMime) +
                          "Tack!\r\n> =C5sa skrev p=E5 l=F6rdag: mjukrad\r\n"
                          "> .punkt f=F6rst\r\n> kod =3D41 och=20\r\n");
    EXPECT_TRUE(w.window.isConnected());

    // "Skicka" right after: the reply's subject, and an empty text gives an empty body.
    w.edit(idText(ControlId::QuickToEdit))->setText("vem@example.org");
    w.edit(idText(ControlId::QuickTextEdit))->setText("");
    w.window.onCommand(CommandId::QuickSend);
    EXPECT_EQ(w.window.statusText(), "Brev skickat.");
    EXPECT_EQ(w.smtpSockets.atHelo.back(), "Skickar brev... 127.0.0.1");
    m = received(2);
    EXPECT_EQ(m.recipients, std::vector<std::string>{"vem@example.org"});
    EXPECT_EQ(m.data, head("Anna <anna@example.org>", "vem@example.org", subject));
    EXPECT_EQ(w.edit(idText(ControlId::QuickToEdit))->text(), "vem@example.org");

    // A typed "filfil" is text like any other, also right after a reply retrieved a message.
    w.edit(idText(ControlId::QuickTextEdit))->setText("filfil");
    w.window.onCommand(CommandId::QuickSend);
    EXPECT_EQ(received(3).data,
              head("Anna <anna@example.org>", "vem@example.org", subject) + "filfil\r\n");
}

// What a phone or a web mailer sends: the text and its HTML twin, each base64 in UTF-8, with
// the sender and subject as UTF-8 encoded words.
TEST_F(CSendFlowsTest, PreviewAndReplyOfAMultipartMessageShowItsText) {
    startPop3({"From: =?UTF-8?B?w4VzYSBMaW5k?= <asa@example.org>\n"
               "Subject: =?utf-8?q?M=C3=B6te_i_morgon?=\nMIME-Version: 1.0\n"
               "Content-Type: multipart/alternative; boundary=\"gr\"\n\n--gr\n"
               "Content-Type: text/plain; charset=\"UTF-8\"\nContent-Transfer-Encoding: base64\n\n"
               "SGVqIQoKVmkgc2VzIGtsLiAxMCBww6UgY2Fmw6ku\n--gr\n"
               "Content-Type: text/html; charset=\"UTF-8\"\nContent-Transfer-Encoding: base64\n\n"
               "PHA+SGVqITwvcD4=\n--gr--\n"});
    CSendWindow w(viaSink("Anna <anna@example.org>"));
    w.login(pop);
    EXPECT_EQ(w.firstColumn(), QStringList{utf8("1. Åsa Lind <asa@example.org>")});

    w.select({1});
    std::string shown;
    w.runner.expectDialog<CContentDlg>([&](CContentDlg& d) {
        shown = d.text();
        return 1;
    });
    w.window.onCommand(CommandId::View);
    EXPECT_EQ(shown.substr(0, shown.find("MIME")),
              "From: Åsa Lind <asa@example.org>\r\nSubject: Möte i morgon\r\n");
    EXPECT_TRUE(shown.ends_with("boundary=\"gr\"\r\n\r\nHej!\r\n\r\nVi ses kl. 10 på café."))
        << shown;

    w.runner.expectDialog<CComposeDlg>(compose([](ComposeControls& c) {
        EXPECT_EQ(c.to->text(), utf8("Åsa Lind <asa@example.org>"));
        EXPECT_EQ(c.subject->text(), utf8("Möte i morgon"));
        EXPECT_EQ(c.body->toPlainText(), utf8("> Hej!\n> \n> Vi ses kl. 10 på café."));
    }));
    w.window.onCommand(CommandId::Reply);
    EXPECT_EQ(w.window.statusText(), "Brev skickat.");
    EXPECT_NE(received(1).data.find("\r\n> Vi ses kl. 10 p=E5 caf=E9.\r\n"), std::string::npos);
}

TEST_F(CSendFlowsTest, ForwardWithDeleteRemovesTheOriginalsAndEachArrivesUnchanged) {
    const std::vector<std::string> stored = {
        message(1), message(2), message(3, ".ensam punkt först\n.\nslut\n"), message(4)};
    startPop3(stored);
    CSendWindow w(viaSink());
    w.login(pop);

    w.window.list()->clearSelection();
    w.window.onCommand(CommandId::Forward);
    EXPECT_EQ(w.window.statusText(), "Du måste markera minst ett brev innan du trycker Forward.");

    w.select({1, 3});
    const std::size_t before = w.pop3Sockets.sent().size();
    w.runner.expectDialog<CForwardDlg>(forwardTo("Chef <chef@example.org>", true));
    w.window.onCommand(CommandId::Forward);
    EXPECT_EQ(w.atRetr,
              (std::vector<std::string>{"Hämtar brev 1 av 2...", "Hämtar brev 2 av 2..."}));
    EXPECT_EQ(w.smtpSockets.atHelo,
              (std::vector<std::string>{"Skickar brev 1 av 2...", "Skickar brev 2 av 2..."}));
    ASSERT_TRUE(sink.waitForMessages(2)) << sink.log();
    const auto sent = sink.messages();
    ASSERT_EQ(sent.size(), 2u);
    for (int k : {0, 1}) {
        const int n = k == 0 ? 1 : 3;
        EXPECT_EQ(sent[k].data, crlf(stored[n - 1])) << n;
        EXPECT_EQ(sent[k].sender, "a" + std::to_string(n) + "@example.org");
        EXPECT_EQ(sent[k].recipients, std::vector<std::string>{"chef@example.org"});
    }
    const auto commands = w.pop3Commands(before);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "DELE 1\r\n"), 1);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "DELE 3\r\n"), 1);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "RSET\r\n"), 0);
    EXPECT_EQ(pop.messagesOnDisk(), 2);
    EXPECT_TRUE(w.window.isConnected());
    EXPECT_EQ(w.firstColumn(),
              (QStringList{"1. Avs2 <a2@example.org>", "2. Avs4 <a4@example.org>"}));
    EXPECT_FALSE(tempFileExists());

    // Without delete: RSET before the QUIT, and the same messages afterwards.
    w.select({2});
    const std::size_t later = w.pop3Sockets.sent().size();
    w.runner.expectDialog<CForwardDlg>(forwardTo("chef@example.org", false));
    w.window.onCommand(CommandId::Forward);
    EXPECT_EQ(received(3).data, crlf(stored[3]));
    const auto tail = w.pop3Commands(later);
    ASSERT_GE(tail.size(), 3u);
    EXPECT_EQ(tail[0], "RETR 2\r\n");
    EXPECT_EQ(tail[1], "RSET\r\n");
    EXPECT_EQ(tail[2], "QUIT\r\n");
    EXPECT_EQ(pop.messagesOnDisk(), 2);
    EXPECT_EQ(w.firstColumn(),
              (QStringList{"1. Avs2 <a2@example.org>", "2. Avs4 <a4@example.org>"}));
}

// After a quick login another client's changes since the rows were read would leave them naming
// other messages by number: the table holds none of them until a listing of unique ids lines
// them up again, and a reply and a forward take the sender from the message itself.
TEST_F(CSendFlowsTest, ReplyAndForwardNameTheMessageAfterAnotherClientsChanges) {
    startPop3({message(1), message(2), message(3)});
    CSendWindow w(viaSink());
    w.login(pop);
    CPop3Session phone;
    phone.setHost(pop.host());
    phone.setPort(pop.port());
    phone.setUser(pop.user());
    phone.setPassword(CSecret(pop.password()));
    ASSERT_TRUE(phone.login() && phone.dele(1) && phone.quit()) << phone.getErrorText();
    ASSERT_TRUE(pop.addMessage(message(4)) && pop.addMessage(message(5)));
    w.window.settingsDlg().settings().quickLogin = 4;
    w.window.onCommand(CommandId::Connect);
    w.window.onCommand(CommandId::Connect);
    // The rows read before would name message 1 as Avs1's; on the server it is Avs2's now.
    ASSERT_FALSE(w.window.pop3().messageTable().hasSummary(1));

    // No sender yet: "Skicka" is refused and the dialog comes back with what was typed.
    w.select({1});
    w.runner.expectDialog<CComposeDlg>(compose([](ComposeControls& c) {
        EXPECT_EQ(c.to->text(), "Avs2 <a2@example.org>");
        EXPECT_EQ(c.subject->text(), "Brev 2");
        c.body->setPlainText("Tack!");
    }));
    w.runner.expectDialog<CComposeDlg>(compose([&](ComposeControls& c) {
        EXPECT_EQ(w.window.statusText(), CStringTable::load(StringId::NoSenderAddress));
        EXPECT_EQ(c.body->toPlainText(), "Tack!");
        c.from->setText("anna@example.org");
    }));
    w.window.onCommand(CommandId::Reply);
    EXPECT_EQ(w.window.statusText(), "Brev skickat.");
    EXPECT_EQ(received(1).recipients, std::vector<std::string>{"a2@example.org"});

    // Without an address of the user's own, the forward's envelope names the message's sender;
    // with one typed in "Från:", the user.
    for (const std::string own : {"", "anna@example.org"}) {
        w.edit(idText(ControlId::QuickFromEdit))->setText(QString::fromStdString(own));
        w.select({1});
        w.runner.expectDialog<CForwardDlg>(forwardTo("chef@example.org", false));
        w.window.onCommand(CommandId::Forward);
        EXPECT_EQ(received(own.empty() ? 2 : 3).sender, own.empty() ? "a2@example.org" : own);
    }
}

TEST_F(CSendFlowsTest, AFailedSendShowsOneBoxAndKeepsThatMessage) {
    // The sink refuses an 8-bit sender in both forms of MAIL FROM.
    startPop3({message(1), "From: Åsa <åsa@example.org>\nSubject: Trasig\n\nHej.\n", message(3),
               message(4)});
    CSendWindow w(viaSink());
    w.login(pop);
    w.select({1, 2, 3});
    w.runner.expectDialog<CForwardDlg>(forwardTo("chef@example.org", true));
    QString shown;
    w.runner.expectNotice(&shown);
    w.window.onCommand(CommandId::Forward);
    EXPECT_EQ(shown, "127.0.0.1: MAIL FROM: 500 Error: strict ASCII mode\r\n");
    ASSERT_TRUE(sink.waitForMessages(2)) << sink.log();
    EXPECT_EQ(sink.messages().size(), 2u);
    EXPECT_EQ(pop.messagesOnDisk(), 2);
    EXPECT_EQ(w.firstColumn(),
              (QStringList{utf8("1. Åsa <åsa@example.org>"), "2. Avs4 <a4@example.org>"}));
    EXPECT_FALSE(tempFileExists());

    // No server at all: one box for each message, nothing deleted.
    sink.stop();
    w.select({1, 2});
    const std::size_t before = w.pop3Sockets.sent().size();
    w.runner.expectDialog<CForwardDlg>(forwardTo("chef@example.org", true));
    QString first, second;
    w.runner.expectNotice(&first);
    w.runner.expectNotice(&second);
    w.window.onCommand(CommandId::Forward);
    const QString refused =
        QString::fromStdString("Kan inte ansluta. Servern nekade anslutningen (port " +
                               std::to_string(sink.port()) + ").");
    EXPECT_EQ(first, refused);
    EXPECT_EQ(second, refused);
    const auto commands = w.pop3Commands(before);
    EXPECT_EQ(std::count_if(commands.begin(), commands.end(),
                            [](const std::string& c) { return c.rfind("DELE", 0) == 0; }),
              0);
    EXPECT_EQ(pop.messagesOnDisk(), 2);
    EXPECT_FALSE(tempFileExists());
}

TEST_F(CSendFlowsTest, AMessageRefusedAfterItsDataIsKeptOnTheServer) {
    startPop3({message(1), "X-Sink-Refuse: yes\n" + message(2)});
    CSendWindow w(viaSink());
    w.login(pop);
    w.select({1, 2});
    const std::size_t before = w.pop3Sockets.sent().size();
    w.runner.expectDialog<CForwardDlg>(forwardTo("chef@example.org", true));
    QString shown;
    w.runner.expectNotice(&shown);
    w.window.onCommand(CommandId::Forward);
    EXPECT_EQ(shown, QString("127.0.0.1: DATA: ") + CSmtpSinkPeer::kRefusal);
    EXPECT_EQ(received(1).sender, "a1@example.org");
    const auto commands = w.pop3Commands(before);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "DELE 1\r\n"), 1);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "DELE 2\r\n"), 0);
    EXPECT_EQ(pop.messagesOnDisk(), 1);
    EXPECT_EQ(w.firstColumn(), QStringList{"1. Avs2 <a2@example.org>"});
}

TEST_F(CSendFlowsTest, AnAbortedFetchStopsTheForwardAndTheListStaysRight) {
    startPop3({message(1), message(2, std::string(40000, 'x') + "\n"), message(3)});
    CSendWindow w(viaSink());
    w.login(pop);
    w.select({1, 2, 3});
    // The user closes the download window of the second message.
    w.onPop3Send = [&](const std::string& line) {
        if (line == "RETR 2\r\n")
            w.progress.closeNext = true;
    };
    w.runner.expectDialog<CForwardDlg>(forwardTo("chef@example.org", true));
    w.window.onCommand(CommandId::Forward);
    EXPECT_EQ(w.atRetr.size(), 2u);
    EXPECT_EQ(received(1).sender, "a1@example.org");
    // The deletion of the first was never committed: all three are there and listed as
    // themselves.
    EXPECT_EQ(pop.messagesOnDisk(), 3);
    EXPECT_TRUE(w.window.isConnected());
    EXPECT_EQ(w.firstColumn(), (QStringList{"1. Avs1 <a1@example.org>", "2. Avs2 <a2@example.org>",
                                            "3. Avs3 <a3@example.org>"}));
    // The stopped download says so after the flow's own text, and that the list is fresh.
    EXPECT_EQ(w.window.statusText(), CStringTable::load(StringId::ForwardCancelled) + " " +
                                         CStringTable::load(StringId::ListReloaded));
}

TEST_F(CSendFlowsTest, QuickTestOfAnAcceptedARefusedAndAnUnreachableAddress) {
    CSendWindow w(viaSink("anna@example.org"));
    EXPECT_EQ(w.edit(idText(ControlId::QuickFromEdit))->text(), "anna@example.org");
    w.edit(idText(ControlId::QuickToEdit))->setText("bo@example.org");
    // Enter after the focus was in "Till/Domän" runs "Testa".
    QFocusEvent focusIn(QEvent::FocusIn);
    QApplication::sendEvent(w.edit(idText(ControlId::QuickToEdit)), &focusIn);
    w.window.onCommand(CommandId::Enter);
    EXPECT_FALSE(w.window.enterConnects());
    EXPECT_EQ(w.window.statusText(), "Adressen är giltig.");
    EXPECT_EQ(w.smtpSockets.atHelo,
              std::vector<std::string>{"Kollar om adressen är giltig som mottagare..."});
    EXPECT_EQ(w.smtpSockets.count("RCPT"), 1);
    EXPECT_EQ(w.smtpSockets.sent().back(), "QUIT\r\n");
    EXPECT_TRUE(w.smtpSockets.atLookup.empty());

    w.edit(idText(ControlId::QuickToEdit))->setText("bo@@example.org");
    w.window.onCommand(CommandId::TestAddress);
    EXPECT_EQ(w.window.statusText(), "127.0.0.1: RCPT TO: 553 5.1.3 Error: malformed address\r\n");
    EXPECT_EQ(w.edit(idText(ControlId::QuickToEdit))->text(), "bo@@example.org");
    EXPECT_TRUE(sink.messages().empty());

    sink.stop();
    w.window.onCommand(CommandId::TestAddress);
    EXPECT_EQ(w.window.statusText(), "Kan inte ansluta. Servern nekade anslutningen (port " +
                                         std::to_string(sink.port()) + ").");
}

// Scripted POP3 servers for the reply's failures and for a login without summaries.
class CScriptedReplyTest : public ::testing::Test {
protected:
    CScriptedReplyTest() : w([](CMemorySettingsStore&) {}) {
        w.window.pop3().setSocketFactory(&fake);
    }
    // The log-in to a mailbox of one message of size bytes, with its ids unless it is listed by
    // number only.
    static void greet(CFakeScript& s, bool summaries, const std::string& size = "60") {
        s.server("+OK\r\n")
            .client("CAPA\r\n")
            .server("-ERR unknown command\r\n")
            .client("USER u\r\n")
            .server("+OK\r\n")
            .client("PASS p\r\n")
            .server("+OK\r\n")
            .client("STAT\r\n")
            .server("+OK 1 " + size + "\r\n");
        if (summaries)
            s.client("UIDL\r\n").server("+OK\r\n1 one\r\n.\r\n");
        s.client("LIST\r\n").server("+OK\r\n1 " + size + "\r\n.\r\n");
    }
    // Logs in to a mailbox of one message, with its summary or, at the quick-login threshold,
    // by number only, and selects it.
    void login(bool summaries, const std::string& size = "60") {
        script = fake.addScript();
        greet(*script, summaries, size);
        if (summaries)
            script->client("TOP 1 0\r\n").server("+OK\r\n" + kHeader + ".\r\n");
        else
            w.window.settingsDlg().settings().quickLogin = 1;
        w.edit(idText(ControlId::ServerEdit))->setText("pop.example");
        w.edit(idText(ControlId::AccountEdit))->setText("u");
        w.edit(idText(ControlId::PasswordEdit))->setText("p");
        w.window.onCommand(CommandId::Connect);
        ASSERT_EQ(w.window.list()->topLevelItemCount(), 1) << w.window.statusText();
        w.select({1});
    }
    // RETR, RSET and TOP of message 1 all answered.
    void retrieval() {
        script->client("RETR 1\r\n")
            .server("+OK\r\n" + kHeader + "text\r\n.\r\n")
            .client("RSET\r\n")
            .server("+OK\r\n")
            .client("TOP 1 0\r\n");
    }
    const std::string kHeader = "From: a@example.org\r\nSubject: s\r\n\r\n";
    CFakeSocketFactory fake;
    std::shared_ptr<CFakeScript> script;
    CSendWindow w;
};

TEST_F(CScriptedReplyTest, NoDialogWithoutTheMessageOrItsHeader) {
    login(true);
    // A refused RETR: the server's line, still connected.
    script->client("RETR 1\r\n").server("-ERR no such message\r\n");
    w.window.onCommand(CommandId::Reply);
    EXPECT_EQ(w.window.statusText(), "RETR: -ERR no such message\r\n");
    EXPECT_TRUE(w.window.isConnected());

    // A refused TOP: the command is named, and the downloaded copy is gone.
    retrieval();
    script->server("-ERR no TOP here\r\n");
    w.window.onCommand(CommandId::Reply);
    EXPECT_EQ(w.window.statusText(), "TOP:");
    EXPECT_FALSE(tempFileExists());

    // The server goes away: the window is disconnected and says why.
    script->client("RETR 1\r\n").drop();
    w.window.onCommand(CommandId::Reply);
    EXPECT_FALSE(w.window.isConnected());
    EXPECT_EQ(w.window.list()->topLevelItemCount(), 0);
    EXPECT_EQ(w.window.statusText(), "RETR: Förbindelsen med servern bröts.");
    EXPECT_TRUE(script->finished()) << script->report();
}

// Avbryt while the server was sending the message: the list comes back from the header cache,
// with the login of the connect and not the fields as they stand; Avbryt on a server that had
// fallen silent ends the connection without a reconnect that would wait on it again.
TEST_F(CScriptedReplyTest, AStoppedDownloadReloadsTheListUnlessTheServerWasSilent) {
    login(true, "40000");
    script->client("RETR 1\r\n").server("+OK\r\n" + kHeader + std::string(2000, 'x'));
    auto again = fake.addScript();
    greet(*again, true, "40000");
    w.edit(idText(ControlId::AccountEdit))->setText("someone-else");
    w.progress.closeNext = true; // the user ends the download's window
    w.window.onCommand(CommandId::Reply);
    EXPECT_TRUE(script->finished()) << script->report();
    EXPECT_TRUE(again->finished()) << again->report(); // no TOP: every row from the cache
    EXPECT_TRUE(w.window.isConnected());
    EXPECT_EQ(w.firstColumn(), QStringList{"1. a@example.org"});
    EXPECT_EQ(w.window.statusText(), CStringTable::load(StringId::CancelledByUser) + " " +
                                         CStringTable::load(StringId::ListReloaded));
    EXPECT_FALSE(tempFileExists());

    w.select({1});
    again->client("RETR 1\r\n").server("+OK\r\n").cut();
    w.progress.closeNext = true;
    w.window.onCommand(CommandId::Reply);
    EXPECT_EQ(fake.streamsCreated(), 2);
    EXPECT_FALSE(w.window.isConnected());
    EXPECT_EQ(w.window.list()->topLevelItemCount(), 0);
    EXPECT_EQ(w.window.statusText(), CStringTable::load(StringId::RetrLabel) + " " +
                                         CStringTable::load(StringId::CancelledByUser));
    EXPECT_TRUE(again->finished()) << again->report();
}

TEST_F(CScriptedReplyTest, AMessageWithoutSummaryIsAnsweredFromItsOwnHeader) {
    login(false);
    retrieval();
    script->server("+OK\r\n" + kHeader + ".\r\n");
    w.runner.expectDialog<CComposeDlg>(compose(
        [](ComposeControls& c) {
            EXPECT_EQ(c.to->text(), "a@example.org");
            EXPECT_EQ(c.subject->text(), "s");
            EXPECT_EQ(c.body->toPlainText(), "> text");
        },
        false));
    w.window.onCommand(CommandId::Reply);
    EXPECT_TRUE(script->finished()) << script->report();
}

// Direct delivery: the exchanger comes from dnsmasq, and names a dotted address so that the
// machine's own resolver is never asked.
class CDirectDeliveryTest : public CSendFlowsTest {
protected:
    void SetUp() override {
        std::string reason;
        if (!CDnsmasqPeer::available(reason))
            GTEST_SKIP() << "the DNS peer must listen on port 53: " << reason;
        CSendFlowsTest::SetUp();
        dns.addMxHost("sink.test", "127.0.0.1", 10);
        std::string error;
        ASSERT_TRUE(dns.start(error)) << error;
    }
    // "Smtpserver" names the sink differently, to tell the two routes apart.
    std::function<void(CMemorySettingsStore&)> withDns() {
        return [this](CMemorySettingsStore& s) {
            s.strings["Smtpserver"] = "localhost";
            s.ints["Smtpport"] = sink.port();
            s.strings["DNS"] = dns.address();
            s.strings["Address"] = "anna@example.org";
        };
    }
    CDnsmasqPeer dns;
};

TEST_F(CDirectDeliveryTest, DirectLooksUpTheExchangerOfTheRecipientDomain) {
    CSendWindow w(withDns());
    w.runner.expectDialog<CComposeDlg>(
        compose([](ComposeControls& c) { c.to->setText("Bo B <bo@sink.test>"); }));
    w.window.onCommand(CommandId::NewMessage);
    EXPECT_EQ(w.window.statusText(), "Brev skickat.") << dns.log();
    EXPECT_EQ(w.smtpSockets.atLookup, std::vector<std::string>{"Skickar brev..."});
    EXPECT_EQ(w.smtpSockets.atHelo, std::vector<std::string>{"Skickar brev... 127.0.0.1"});
    EXPECT_EQ(received(1).recipients, std::vector<std::string>{"bo@sink.test"});

    // "Direkt" unchecked: "Smtpserver", no lookup.
    w.runner.expectDialog<CComposeDlg>(compose([](ComposeControls& c) {
        c.to->setText("bo@sink.test");
        c.direct->setChecked(false);
    }));
    w.window.onCommand(CommandId::NewMessage);
    EXPECT_EQ(w.window.statusText(), "Brev skickat.");
    EXPECT_EQ(w.smtpSockets.atLookup.size(), 1u);
    EXPECT_EQ(w.smtpSockets.atHelo.back(), "Skickar brev... localhost");
    received(2);
}

TEST_F(CDirectDeliveryTest, QuickTestOfADomainOnlyShowsItsExchanger) {
    CSendWindow w(withDns());
    w.edit(idText(ControlId::QuickToEdit))->setText("sink.test");
    w.window.onCommand(CommandId::TestAddress);
    EXPECT_EQ(w.smtpSockets.atLookup, std::vector<std::string>{"Väntar på svar från DNS..."});
    EXPECT_EQ(w.window.statusText(), "127.0.0.1") << dns.log();
    EXPECT_TRUE(w.smtpSockets.sent().empty()); // no mail server was asked

    w.edit(idText(ControlId::QuickToEdit))->setText("missing.test");
    w.window.onCommand(CommandId::TestAddress);
    EXPECT_EQ(w.window.statusText(), "");

    // An address is tested at its domain's exchanger.
    w.edit(idText(ControlId::QuickToEdit))->setText("bo@sink.test");
    w.window.onCommand(CommandId::TestAddress);
    EXPECT_EQ(w.window.statusText(), "Adressen är giltig.");
    EXPECT_EQ(w.smtpSockets.sent().front(), "HELO nada\r\n");
    EXPECT_EQ(w.window.smtp().getServer(), "127.0.0.1");
}

// A provider's submission port: a sink on port 587 of a loopback address of the test's own that
// takes mail only after STARTTLS and a login, with a certificate from an authority the test makes.
class CSubmissionFlowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string reason;
        address = CFreePort::pickAddress(CSmtpSinkPeer::kSubmissionPort, reason);
        if (address.empty())
            GTEST_SKIP() << "port 587 needs an address of its own: " << reason;
        std::string error;
        ASSERT_TRUE(authority.create(error)) << error;
        ASSERT_TRUE(authority.issue("server", "IP:" + address, server, error)) << error;
        sink.listenWithTls(address, server.certificateFile, server.keyFile);
        sink.requireLogin("anna", "hemligt");
        ASSERT_TRUE(sink.start(error)) << error;
    }
    std::function<void(CMemorySettingsStore&)> viaSubmission() {
        return [this](CMemorySettingsStore& s) {
            s.strings["Smtpserver"] = address;
            s.ints["Smtpport"] = CSmtpSinkPeer::kSubmissionPort;
            s.strings["Address"] = "anna@example.org";
        };
    }

    std::string address;
    CTestCertificates authority;
    CTestCertificates::Issued server;
    CSmtpSinkPeer sink;
};

TEST_F(CSubmissionFlowsTest, ANewMessageGoesOutWithTheTypedLogin) {
    const CScopedTrustStore trusted(authority.authorityFile(), authority.emptyFolder());
    CSendWindow w(viaSubmission());
    w.edit(idText(ControlId::AccountEdit))->setText("anna");
    w.edit(idText(ControlId::PasswordEdit))->setText("hemligt");
    w.runner.expectDialog<CComposeDlg>(
        compose([](ComposeControls& c) { c.to->setText("bo@example.org"); }));
    w.window.onCommand(CommandId::NewMessage);
    EXPECT_EQ(w.window.statusText(), "Brev skickat.") << sink.log();
    ASSERT_TRUE(sink.waitForMessages(1)) << sink.log();
    // The sink takes a login only after STARTTLS.
    EXPECT_EQ(sink.messages().at(0).login, "PLAIN anna");

    // A wrong password: the server's refusal, and nothing sent.
    w.edit(idText(ControlId::PasswordEdit))->setText("fel");
    w.edit(idText(ControlId::QuickToEdit))->setText("bo@example.org");
    w.window.onCommand(CommandId::QuickSend);
    EXPECT_EQ(w.window.statusText(), address +
                                         ": AUTH: 535-5.7.8 Username and Password not accepted.\r\n"
                                         "535 5.7.8 Learn more at https://sink.test/help\r\n");
    EXPECT_FALSE(sink.waitForMessages(2, 300));

    // The status line reads the two lines as one; cut to its width, it keeps the whole line
    // for screen readers and as its tool tip.
    const QString line = QString::fromStdString(address) +
                         ": AUTH: 535 5.7.8 Username and Password not accepted. Learn more at "
                         "https://sink.test/help";
    w.window.show();
    auto* status = w.window.findChild<QLabel*>(idText(ControlId::StatusLine));
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(status);
    status->resize(2000, status->height());
    EXPECT_EQ(status->text(), line);
    EXPECT_EQ(reader->text(QAccessible::Description), "Status");
    status->resize(200, status->height());
    EXPECT_TRUE(status->text().endsWith(QChar(0x2026))) << status->text().toStdString();
    EXPECT_TRUE(line.startsWith(status->text().chopped(1)));
    EXPECT_EQ(reader->text(QAccessible::Name), status->text());
    EXPECT_EQ(reader->text(QAccessible::Description), line);
    EXPECT_EQ(status->toolTip(), line);
}

// A provider takes mail after a login only from the account's own address, so a forward goes
// out under the user's and not under the stranger's who wrote the message.
TEST_F(CSubmissionFlowsTest, AForwardGoesOutUnderTheUsersOwnAddress) {
    CDovecotPeer pop;
    pop.setAccount("anna", "hemligt");
    std::string error;
    ASSERT_TRUE(pop.start(error)) << error;
    const std::string original = "From: Okand <stranger@example.net>\nSubject: Vidare\n"
                                 "Date: Tue, 8 Dec 2026 10:00:00 +0100\n"
                                 "Message-ID: <v@example.net>\n\nHej.\n";
    ASSERT_TRUE(pop.addMessage(original));
    const CScopedTrustStore trusted(authority.authorityFile(), authority.emptyFolder());
    CSendWindow w(viaSubmission());
    w.login(pop);
    w.select({1});
    w.runner.expectDialog<CForwardDlg>(forwardTo("chef@example.org", false));
    w.window.onCommand(CommandId::Forward);
    ASSERT_TRUE(sink.waitForMessages(1)) << sink.log();
    const auto sent = sink.messages().at(0);
    EXPECT_EQ(sent.sender, "anna@example.org");
    EXPECT_EQ(sent.login, "PLAIN anna");
    EXPECT_EQ(sent.data, crlf(original));
}

} // namespace
