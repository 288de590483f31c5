#pragma once

#include "app/CKeyring.h"
#include "platform/COAuthProviders.h"
#include "platform/IAccessTokens.h"

#include <QDateTime>

#include <functional>
#include <map>
#include <memory>
#include <string>

class COAuthFlow;
class CSignInWaitDlg;
class ISettingsStore;
class QUrl;
class QWidget;

// The access tokens of the accounts that sign in without a password. An access token lives in
// memory only, for as long as it is fresh. The refresh token is kept in memory and in the
// desktop's keyring (CKeyring), never in the settings file: a later start signs in from there
// without the browser, and an expired access token is refreshed without asking the user. Where
// no keyring answers nothing is kept, the user signs in at each start, and note() says so. A
// refresh token the provider refuses is forgotten and the browser opens for a new sign-in.
// Each provider's token serves its POP3 and SMTP servers alike, per account.
class CAccessTokens : public IAccessTokens {
public:
    struct Limits {
        int signInMs = 5 * 60 * 1000; // the user in the browser
        int requestMs = 30 * 1000;    // each request to the provider
        int keyringMs = 60 * 1000;    // each keyring call (it may ask to be unlocked)
    };

    // Provider entries come from store; the waiting window opens over parent. Both must outlive
    // this object.
    CAccessTokens(ISettingsStore& store, QWidget* parent);
    ~CAccessTokens() override;

    bool accessToken(const std::string& server, const std::string& account, std::string& token,
                     std::string& errorText) override;
    void tokenRefused(const std::string& server, const std::string& account) override;
    std::string note() const override { return note_; }

    // Seams: what opens the provider's page (the system browser by default), the status line
    // while a token is being got, the limits.
    void setUrlOpener(std::function<bool(const QUrl&)> openUrl) { openUrl_ = std::move(openUrl); }
    void setStatusLine(std::function<void(const std::string&)> show) { status_ = std::move(show); }
    void setLimits(const Limits& limits);

    // How a wait for a flow ended.
    enum class Wait { Ended, Cancelled, TimedOut };

private:
    struct Grant {
        std::string access;
        QDateTime freshUntil; // invalid: fresh until a server refuses it
        std::string refresh;
        bool keyringRead = false;
    };
    bool refreshGrant(const OAuthProvider& provider, const std::string& key, Grant& grant,
                      std::string& errorText);
    bool signIn(const OAuthProvider& provider, const std::string& account, const std::string& key,
                Grant& grant, std::string& errorText);
    // Takes the flow's tokens into the grant and the refresh token into the keyring.
    void take(const COAuthFlow& flow, const std::string& key, Grant& grant);
    // Until the flow ends, the user cancels (the dialog's Avbryt, or Escape in the main window)
    // or the limit passes.
    Wait wait(COAuthFlow& flow, int limitMs, CSignInWaitDlg* dialog);
    // A finished flow stays until the next one: its listener may still be sending the browser
    // its page.
    void retire(std::unique_ptr<COAuthFlow> flow);
    void showStatus(const std::string& text);

    ISettingsStore& store_;
    QWidget* parent_;
    Limits limits_;
    CKeyring keyring_;
    std::function<bool(const QUrl&)> openUrl_;
    std::function<void(const std::string&)> status_;
    std::map<std::string, Grant> grants_; // by provider name and account
    std::unique_ptr<COAuthFlow> retired_;
    std::string note_;
};
