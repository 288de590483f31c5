#include "app/CAccessTokens.h"
#include "app/CKeyring.h"
#include "app/CMaroketDlg.h"
#include "app/CQtSettingsStore.h"
#include "dialogs/CSignInWaitDlg.h"
#include "dialogs/IdText.h"
#include "platform/COAuthSasl.h"
#include "resources/CStringTable.h"
#include "tests/gui/CScriptedBrowser.h"
#include "tests/gui/CScriptedDialogRunner.h"
#include "tests/peers/CDovecotPeer.h"
#include "tests/peers/CFreePort.h"
#include "tests/peers/CKeyringPeer.h"
#include "tests/peers/COAuthProviderPeer.h"
#include "tests/peers/CScopedTrustStore.h"
#include "tests/peers/CSmtpSinkPeer.h"
#include "tests/peers/CTestCertificates.h"
#include "tests/support/CRecordingSocketFactory.h"
#include "tests/support/CScriptedProgressHost.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace {

// The test's own desktop session, set before anything asks for the keyring: gnome-keyring on a
// private bus, or with MAROKET_TEST_KEYRING=none a bus without a keyring
// (maroket_oauth_tests_no_keyring).
const bool withoutKeyring = [] {
    const char* mode = std::getenv("MAROKET_TEST_KEYRING");
    return mode && std::string(mode) == "none";
}();

class KeyringSession : public ::testing::Environment {
public:
    void SetUp() override {
        peer_ = std::make_unique<CKeyringPeer>(!withoutKeyring);
        std::string error;
        ASSERT_TRUE(peer_->start(error)) << error;
        ::setenv("DBUS_SESSION_BUS_ADDRESS", peer_->busAddress().c_str(), 1);
    }
    void TearDown() override { peer_.reset(); }
    static std::string keyringFolder() { return peer_ ? peer_->keyringFolder() : ""; }

private:
    static inline std::unique_ptr<CKeyringPeer> peer_;
};
[[maybe_unused]] ::testing::Environment* const session =
    ::testing::AddGlobalTestEnvironment(new KeyringSession);

std::string logged;
void keepMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
    logged += message.toStdString() + "\n";
}

std::string readFiles(const std::string& folder) {
    std::string all;
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ec)) {
        std::ifstream in(entry.path(), std::ios::binary);
        all += std::string(std::istreambuf_iterator<char>(in), {});
    }
    return all;
}

// The main window on the test's settings file, its sockets recorded and its browser scripted.
struct CTokenWindow {
    CTokenWindow(ISettingsStore& store, CScriptedBrowser& browser) : window(store, runner) {
        window.setProgressHost(&progress);
        window.pop3().setSocketFactory(&pop3);
        window.smtp().setSocketFactory(&smtp);
        window.accessTokens().setUrlOpener(browser.opener());
    }
    void type(ControlId id, const std::string& text) {
        for (auto* edit : window.findChildren<QLineEdit*>(idText(id)))
            if (edit->window() == &window)
                edit->setText(QString::fromStdString(text));
    }
    // Connects as "tester" with an empty password field; the login's lines only are kept.
    bool connect(const std::string& server, int port) {
        pop3.clear();
        window.pop3().setPort(port);
        type(ControlId::ServerEdit, server);
        type(ControlId::AccountEdit, "tester");
        window.onCommand(CommandId::Connect);
        return window.isConnected();
    }
    // Lines beginning with "AUTH" that went out before TLS started, and after.
    static std::pair<int, int> auths(const CRecordingSocketFactory& sockets) {
        std::pair<int, int> counts;
        bool tls = false;
        for (const std::string& line : sockets.sent()) {
            tls = tls || line == CRecordingSocketFactory::kTlsStarted;
            (tls ? counts.second : counts.first) += line.rfind("AUTH", 0) == 0;
        }
        return counts;
    }

    CScriptedDialogRunner runner;
    CScriptedProgressHost progress;
    CRecordingSocketFactory pop3, smtp;
    CMaroketDlg window;
};

// The test's identity provider, a Dovecot that checks tokens with it, and settings whose
// provider entry serves Dovecot's address.
class CAccessTokensTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // A client secret with the characters a form splits or decodes at.
        provider_ = new COAuthProviderPeer("maroket-test", kSecret);
        dovecot_ = new CDovecotPeer;
        std::string error;
        ASSERT_TRUE(provider_->start(error)) << error;
        dovecot_->acceptOAuth(provider_->introspectionUrl());
        ASSERT_TRUE(dovecot_->start(error)) << error;
    }
    static void TearDownTestSuite() {
        delete dovecot_;
        delete provider_;
    }

    void SetUp() override {
        ASSERT_TRUE(provider_ && dovecot_);
        provider_->setExpiresIn(3600);
        dir_ = std::filesystem::temp_directory_path() /
               ("maroket-oauth-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        settingsFile_ = (dir_ / "maroket.conf").string();
        store_ = std::make_unique<CQtSettingsStore>(QString::fromStdString(settingsFile_));
        store_->writeString("OAuthProviders", "test");
        store_->writeString("OAuth.test.Servers", dovecot_->host());
        store_->writeString("OAuth.test.AuthorizationUrl", provider_->authorizationUrl());
        store_->writeString("OAuth.test.TokenUrl", provider_->tokenUrl());
        store_->writeString("OAuth.test.Scopes", "mail offline_access");
        store_->writeString("OAuth.test.ClientId", provider_->clientId());
        store_->writeString("OAuth.test.ClientSecret", kSecret);
        previousHandler_ = qInstallMessageHandler(keepMessage);
        logged.clear();
    }
    void TearDown() override {
        qInstallMessageHandler(previousHandler_);
        store_.reset();
        std::filesystem::remove_all(dir_);
    }

    // A start of the program: nothing in memory, what the keyring holds.
    std::unique_ptr<CAccessTokens> start(CScriptedBrowser& browser) {
        auto tokens = std::make_unique<CAccessTokens>(*store_, nullptr);
        tokens->setUrlOpener(browser.opener());
        return tokens;
    }
    std::string token(CAccessTokens& tokens, const std::string& account) {
        std::string token, error;
        EXPECT_TRUE(tokens.accessToken(dovecot_->host(), account, token, error)) << error;
        return token;
    }
    // Whether Dovecot lets the account in with the token.
    bool dovecotTakes(const std::string& account, const std::string& token) {
        return dovecot_->authenticate("XOAUTH2", COAuthSasl::xoauth2(account, token))
                   .rfind("+OK", 0) == 0;
    }

    static constexpr const char* kSecret = "a+b&c=d %2B";
    static inline COAuthProviderPeer* provider_ = nullptr;
    static inline CDovecotPeer* dovecot_ = nullptr;
    std::filesystem::path dir_;
    std::string settingsFile_;
    std::unique_ptr<CQtSettingsStore> store_;
    QtMessageHandler previousHandler_ = nullptr;
};

TEST_F(CAccessTokensTest, FirstStartSignsInThroughTheBrowserTheNextFromTheKeyring) {
    if (withoutKeyring)
        GTEST_SKIP() << "needs the keyring";
    CScriptedBrowser browser;
    auto first = start(browser);
    const std::string token = this->token(*first, "tester");
    EXPECT_EQ(browser.opened, 1);
    // The answer came to 127.0.0.1 alone, and the listener took it and closed.
    EXPECT_TRUE(browser.answeredOnLoopbackOnly);
    EXPECT_FALSE(acceptsConnection("127.0.0.1", browser.listenerPort));
    EXPECT_NE(browser.listenerPage.find("Maroket har fått svaret"), std::string::npos)
        << browser.listenerPage;
    EXPECT_TRUE(dovecotTakes("tester", token));
    EXPECT_EQ(dovecot_
                  ->authenticate("OAUTHBEARER", COAuthSasl::oauthBearer("tester", dovecot_->host(),
                                                                        dovecot_->port(), token))
                  .substr(0, 3),
              "+OK");
    // Fresh in memory: asked again, the same token without the provider.
    EXPECT_EQ(this->token(*first, "tester"), token);
    EXPECT_EQ(provider_->count("refresh"), 0);
    EXPECT_EQ(first->note(), "");

    // The next start: the refresh token from the keyring, no browser.
    CScriptedBrowser unused;
    auto second = start(unused);
    const std::string next = this->token(*second, "tester");
    EXPECT_EQ(unused.opened, 0);
    EXPECT_EQ(provider_->count("refresh"), 1);
    EXPECT_TRUE(dovecotTakes("tester", next));

    // Neither token is anywhere but in memory and the keyring, which keeps it encrypted.
    std::string refresh;
    ASSERT_EQ(CKeyring().read("test/tester", refresh), CKeyring::Result::Done);
    const std::string settings = readFiles(dir_.string());
    const std::string keyring = readFiles(KeyringSession::keyringFolder());
    for (const std::string& secret : {token, next, refresh}) {
        EXPECT_EQ(settings.find(secret), std::string::npos);
        EXPECT_EQ(keyring.find(secret), std::string::npos);
        EXPECT_EQ(logged.find(secret), std::string::npos) << logged;
    }
}

TEST_F(CAccessTokensTest, StaleOrRefusedTokensAreRenewedAndARevokedSignInOpensTheBrowser) {
    if (withoutKeyring)
        GTEST_SKIP() << "needs the keyring";
    CScriptedBrowser browser;
    auto tokens = start(browser);
    // A token of two seconds is stale after one: renewed with the refresh token, silently.
    provider_->setExpiresIn(2);
    const std::string shortLived = token(*tokens, "anna");
    QTest::qWait(1100);
    const std::string renewed = token(*tokens, "anna");
    EXPECT_NE(renewed, shortLived);
    EXPECT_EQ(browser.opened, 1);
    EXPECT_TRUE(dovecotTakes("anna", renewed));

    // The server refuses a token that is still fresh here: told so, the next is a new one.
    provider_->setExpiresIn(3600);
    const std::string fresh = token(*tokens, "anna");
    provider_->revoke("access");
    const std::string refusal =
        dovecot_->authenticate("XOAUTH2", COAuthSasl::xoauth2("anna", fresh));
    EXPECT_NE(refusal.find("-ERR"), std::string::npos) << refusal;
    tokens->tokenRefused(dovecot_->host(), "anna");
    EXPECT_TRUE(dovecotTakes("anna", token(*tokens, "anna")));
    EXPECT_EQ(browser.opened, 1);

    // A refresh token the provider no longer takes: the next start signs in in the browser.
    provider_->revoke("refresh");
    CScriptedBrowser again;
    auto later = start(again);
    EXPECT_TRUE(dovecotTakes("anna", token(*later, "anna")));
    EXPECT_EQ(again.opened, 1);
}

TEST_F(CAccessTokensTest, AForeignAnswerAvbrytAndTheLimitEndTheSignInAtOnce) {
    std::string token, error;
    const int redeemed = provider_->count("token");
    CScriptedBrowser foreign(CScriptedBrowser::Mode::ForeignState);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(start(foreign)->accessToken(dovecot_->host(), "bo", token, error));
    EXPECT_EQ(error, CStringTable::load(StringId::OAuthForeignAnswer));
    EXPECT_FALSE(acceptsConnection("127.0.0.1", foreign.listenerPort));
    EXPECT_EQ(provider_->count("token"), redeemed);

    // "Avbryt" in the waiting window.
    CScriptedBrowser gone(CScriptedBrowser::Mode::NeverReturns);
    QTimer::singleShot(300, [] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<CSignInWaitDlg*>(window))
                dialog->findChild<QPushButton*>(QStringLiteral("2"))->click();
    });
    EXPECT_FALSE(start(gone)->accessToken(dovecot_->host(), "bo", token, error));
    EXPECT_EQ(error, "Inloggningen avbröts.");
    EXPECT_FALSE(acceptsConnection("127.0.0.1", gone.listenerPort));

    // Nobody signs in: the wait ends at its limit.
    CScriptedBrowser away(CScriptedBrowser::Mode::NeverReturns);
    auto tokens = start(away);
    tokens->setLimits({1000, 1000, 1000});
    EXPECT_FALSE(tokens->accessToken(dovecot_->host(), "bo", token, error));
    EXPECT_EQ(error, "Inloggningen gav inget svar inom 1 s.");
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_TRUE(token.empty());
}

TEST_F(CAccessTokensTest, NoKeyringMeansASignInAtEachStartAndTheStatusSaysSo) {
    if (!withoutKeyring)
        GTEST_SKIP() << "runs as maroket_oauth_tests_no_keyring";
    CScriptedBrowser browser;
    auto first = start(browser);
    EXPECT_TRUE(dovecotTakes("tester", token(*first, "tester")));
    EXPECT_EQ(first->note(), CStringTable::load(StringId::OAuthNotKept));
    auto second = start(browser);
    EXPECT_TRUE(dovecotTakes("tester", token(*second, "tester")));
    EXPECT_EQ(browser.opened, 2);
}

// Through the window with an empty password field: the token goes to Dovecot after STLS and to
// the sink after STARTTLS on port 587, never before; a server without TLS gets none; a refused
// token is renewed once; the next start signs in from the keyring; the settings file holds no
// token.
TEST_F(CAccessTokensTest, TheWindowSignsInWithATokenUnderTlsOnly) {
    if (withoutKeyring)
        GTEST_SKIP() << "needs the keyring";
    std::string reason, error;
    const std::string smtpAddress = CFreePort::pickAddress(CSmtpSinkPeer::kSubmissionPort, reason);
    CTestCertificates authority;
    CTestCertificates::Issued server;
    ASSERT_TRUE(authority.create(error) &&
                authority.issue("server",
                                "IP:127.0.0.1" + (smtpAddress.empty() ? "" : ",IP:" + smtpAddress),
                                server, error))
        << error;
    const CScopedTrustStore trusted(authority.authorityFile(), authority.emptyFolder());
    CDovecotPeer stls;
    stls.acceptOAuth(provider_->introspectionUrl());
    stls.offerStls(server.certificateFile, server.keyFile);
    ASSERT_TRUE(stls.start(error)) << error;
    CSmtpSinkPeer sink;
    if (!smtpAddress.empty()) {
        sink.listenWithTls(smtpAddress, server.certificateFile, server.keyFile);
        sink.acceptOAuth(provider_->introspectionUrl());
        ASSERT_TRUE(sink.start(error)) << error;
        store_->writeString("OAuth.test.Servers", "127.0.0.1 " + smtpAddress);
        store_->writeString("Smtpserver", smtpAddress);
        store_->writeInt("Smtpport", CSmtpSinkPeer::kSubmissionPort);
        store_->writeString("Address", "tester@example.org");
    }

    CScriptedBrowser browser;
    auto w = std::make_unique<CTokenWindow>(*store_, browser);
    // Dovecot's plain port offers no TLS: no token is asked for, none is sent.
    EXPECT_FALSE(w->connect(dovecot_->host(), dovecot_->port()));
    EXPECT_EQ(w->window.statusText(), "AUTH: " + CStringTable::load(StringId::TokenNeedsTls));
    EXPECT_EQ(CTokenWindow::auths(w->pop3), std::make_pair(0, 0));
    EXPECT_EQ(browser.opened, 0);

    ASSERT_TRUE(w->connect(stls.host(), stls.port())) << w->window.statusText() << stls.log();
    EXPECT_EQ(CTokenWindow::auths(w->pop3), std::make_pair(0, 1));
    EXPECT_EQ(browser.opened, 1);
    std::string token;
    ASSERT_TRUE(w->window.accessTokens().accessToken(stls.host(), "tester", token, error));

    // A token the server no longer takes is renewed once, without the browser; at the sink too.
    const int refreshed = provider_->count("refresh");
    provider_->revoke("access");
    w->window.disconnect();
    EXPECT_TRUE(w->connect(stls.host(), stls.port())) << w->window.statusText();
    EXPECT_EQ(CTokenWindow::auths(w->pop3), std::make_pair(0, 2));
    if (!smtpAddress.empty()) {
        provider_->revoke("access");
        w->type(ControlId::QuickToEdit, "bo@example.org");
        w->type(ControlId::QuickTextEdit, "Hej");
        w->window.onCommand(CommandId::QuickSend);
        EXPECT_EQ(w->window.statusText(), CStringTable::load(StringId::MessageSent)) << sink.log();
        ASSERT_TRUE(sink.waitForMessages(1)) << sink.log();
        EXPECT_EQ(sink.messages().at(0).login, "XOAUTH2 tester");
        EXPECT_EQ(CTokenWindow::auths(w->smtp), std::make_pair(0, 2));
    }
    EXPECT_EQ(provider_->count("refresh"), refreshed + (smtpAddress.empty() ? 1 : 2)) << reason;
    w->window.done(0);

    // The next start: from the keyring, no browser.
    CScriptedBrowser unused;
    w = std::make_unique<CTokenWindow>(*store_, unused);
    EXPECT_TRUE(w->connect(stls.host(), stls.port())) << w->window.statusText();
    EXPECT_EQ(unused.opened, 0);
    w.reset();
    std::string refresh;
    ASSERT_EQ(CKeyring().read("test/tester", refresh), CKeyring::Result::Done);
    store_.reset(); // written out
    const std::string settings = readFiles(dir_.string());
    EXPECT_EQ(settings.find(token), std::string::npos);
    EXPECT_EQ(settings.find(refresh), std::string::npos);
}

} // namespace
