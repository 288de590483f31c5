#include "app/CAccessTokens.h"

#include "app/COAuthFlow.h"
#include "dialogs/CSignInWaitDlg.h"
#include "platform/CCancelRegistry.h"
#include "resources/CStringTable.h"

#include <QDesktopServices>
#include <QEventLoop>
#include <QTimer>
#include <QUrl>

#include <openssl/crypto.h>

#include <algorithm>

namespace {

// A token counts as stale this long before its end (half its life for a short one), so that it
// does not run out between here and the server.
int marginSeconds(int expiresIn) {
    return std::min(60, expiresIn / 2);
}

// Why a flow gave no token: the user's stop, the limit, or what the flow says.
std::string failureText(CAccessTokens::Wait how, const COAuthFlow& flow, int limitMs) {
    if (how == CAccessTokens::Wait::TimedOut)
        return CStringTable::load(StringId::OAuthNoAnswer, std::to_string(limitMs / 1000));
    if (how == CAccessTokens::Wait::Cancelled || flow.errorText().empty())
        return CStringTable::load(StringId::OAuthCancelled);
    return flow.errorText();
}

void wipe(std::string& secret) {
    OPENSSL_cleanse(secret.data(), secret.size());
    secret.clear();
}

} // namespace

CAccessTokens::CAccessTokens(ISettingsStore& store, QWidget* parent)
    : store_(store), parent_(parent), keyring_(limits_.keyringMs),
      openUrl_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {}

CAccessTokens::~CAccessTokens() {
    for (auto& [key, grant] : grants_) {
        wipe(grant.access);
        wipe(grant.refresh);
    }
}

void CAccessTokens::setLimits(const Limits& limits) {
    limits_ = limits;
    keyring_.setLimit(limits.keyringMs);
}

bool CAccessTokens::accessToken(const std::string& server, const std::string& account,
                                std::string& token, std::string& errorText) {
    const std::optional<OAuthProvider> provider = COAuthProviders(store_).forServer(server);
    if (!provider) {
        errorText = CStringTable::load(StringId::CannotConnect);
        return false;
    }
    if (!COAuthProviders::usable(*provider, errorText))
        return false;
    const std::string key = provider->name + "/" + account;
    Grant& grant = grants_[key];
    if (!grant.access.empty() &&
        (!grant.freshUntil.isValid() || QDateTime::currentDateTimeUtc() < grant.freshUntil)) {
        token = grant.access;
        return true;
    }
    wipe(grant.access);
    if (grant.refresh.empty() && !grant.keyringRead) {
        grant.keyringRead = true;
        if (keyring_.read(key, grant.refresh) == CKeyring::Result::Unavailable)
            note_ = CStringTable::load(StringId::OAuthNotKept);
    }
    if (!grant.refresh.empty() && !refreshGrant(*provider, key, grant, errorText))
        return false;
    // No refresh token, or one the provider no longer takes: the user signs in anew.
    if (grant.access.empty() && !signIn(*provider, account, key, grant, errorText))
        return false;
    token = grant.access;
    return true;
}

void CAccessTokens::tokenRefused(const std::string& server, const std::string& account) {
    const std::optional<OAuthProvider> provider = COAuthProviders(store_).forServer(server);
    if (!provider)
        return;
    auto it = grants_.find(provider->name + "/" + account);
    if (it != grants_.end())
        wipe(it->second.access);
}

// True with a new access token, or with none when the provider refused the refresh token (which
// is then forgotten); false with the text when the provider could not be asked.
bool CAccessTokens::refreshGrant(const OAuthProvider& provider, const std::string& key,
                                 Grant& grant, std::string& errorText) {
    showStatus(CStringTable::load(StringId::OAuthRenewing, provider.title));
    auto flow = std::make_unique<COAuthFlow>(provider, limits_.requestMs);
    flow->refresh(grant.refresh);
    const Wait how = wait(*flow, limits_.requestMs + 1000, nullptr);
    const COAuthFlow::Outcome outcome = flow->outcome();
    if (outcome == COAuthFlow::Outcome::Granted) {
        take(*flow, key, grant);
    } else if (outcome == COAuthFlow::Outcome::Refused) {
        wipe(grant.refresh);
        keyring_.remove(key);
    } else {
        errorText = failureText(how, *flow, limits_.requestMs);
    }
    retire(std::move(flow));
    return errorText.empty();
}

bool CAccessTokens::signIn(const OAuthProvider& provider, const std::string& account,
                           const std::string& key, Grant& grant, std::string& errorText) {
    showStatus(CStringTable::load(StringId::OAuthSigningIn, provider.title));
    auto flow = std::make_unique<COAuthFlow>(provider, limits_.requestMs);
    auto dialog = std::make_unique<CSignInWaitDlg>(provider.title, parent_);
    dialog->show();
    Wait how = Wait::Ended;
    if (flow->signIn(account, openUrl_))
        how = wait(*flow, limits_.signInMs, dialog.get());
    dialog.reset();
    const bool granted = flow->outcome() == COAuthFlow::Outcome::Granted;
    if (granted)
        take(*flow, key, grant);
    else
        errorText = failureText(how, *flow, limits_.signInMs);
    retire(std::move(flow));
    return granted;
}

void CAccessTokens::take(const COAuthFlow& flow, const std::string& key, Grant& grant) {
    const COAuthFlow::Tokens& tokens = flow.tokens();
    grant.access = tokens.access;
    grant.freshUntil = tokens.expiresIn < 0
                           ? QDateTime()
                           : QDateTime::currentDateTimeUtc().addSecs(
                                 tokens.expiresIn - marginSeconds(tokens.expiresIn));
    if (tokens.refresh.empty() || tokens.refresh == grant.refresh)
        return;
    grant.refresh = tokens.refresh;
    const CKeyring::Result kept = keyring_.write(key, grant.refresh);
    note_ =
        kept == CKeyring::Result::Done ? std::string() : CStringTable::load(StringId::OAuthNotKept);
}

CAccessTokens::Wait CAccessTokens::wait(COAuthFlow& flow, int limitMs, CSignInWaitDlg* dialog) {
    if (flow.outcome() != COAuthFlow::Outcome::Running)
        return Wait::Ended;
    Wait how = Wait::Ended;
    QEventLoop loop;
    QObject::connect(&flow, &COAuthFlow::ended, &loop, &QEventLoop::quit);
    if (dialog)
        QObject::connect(dialog, &QDialog::rejected, &loop, [&] {
            how = Wait::Cancelled;
            loop.quit();
        });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
        how = Wait::TimedOut;
        loop.quit();
    });
    limit.start(limitMs);
    // Escape or "Nollställ" in the main window stops the command that waits here.
    QTimer stop;
    QObject::connect(&stop, &QTimer::timeout, &loop, [&] {
        if (CCancelRegistry::waitsStopped()) {
            how = Wait::Cancelled;
            loop.quit();
        }
    });
    stop.start(50);
    loop.exec();
    const bool ended = flow.outcome() != COAuthFlow::Outcome::Running;
    flow.abandon();
    return ended ? Wait::Ended : how;
}

void CAccessTokens::retire(std::unique_ptr<COAuthFlow> flow) {
    retired_ = std::move(flow);
}

void CAccessTokens::showStatus(const std::string& text) {
    if (status_)
        status_(text);
}
