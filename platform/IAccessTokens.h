#pragma once

#include "platform/CSecret.h"

#include <string>
#include <utility>

// The OAuth 2.0 access tokens of the accounts that sign in without a password
// (COAuthProviders::signsInWithOAuth). The window implements it: the sign-in in the system
// browser, the refresh token in the desktop's keyring. A session asks for a token right before
// it authenticates, and says so when the server refused it.
class IAccessTokens {
public:
    virtual ~IAccessTokens() = default;

    // A current access token of the account at server (one token serves all the servers of a
    // provider): the one in memory while it is fresh, else one that the refresh token gives
    // (kept in memory or in the keyring), else one from a sign-in in the browser, which shows a
    // window with "Avbryt" while it waits for the user. Every wait has a limit. False with the
    // text for the status line when none can be had: no provider serves the server, its entry
    // is incomplete, the user cancelled, the provider refused or did not answer.
    virtual bool accessToken(const std::string& server, const std::string& account,
                             std::string& token, std::string& errorText) = 0;
    // The server refused the token given last for this account: it is forgotten, so the next
    // accessToken() refreshes it (and signs in again where the provider refuses the refresh).
    // Ask again once; a second refusal is the server's to explain.
    virtual void tokenRefused(const std::string& server, const std::string& account) = 0;
    // A text for the status line about the last token given, where there is something the user
    // should know (no keyring took the refresh token, so the next start signs in again); empty
    // otherwise.
    virtual std::string note() const = 0;

    // How one try of a token at a server went.
    enum class TokenTry { Taken, Refused, Failed };
    // Gives attempt a current token, and where the server refused it a renewed one, once: a
    // refused token may only have expired early. Failed, with errorText, when no token can be had.
    template <typename Attempt>
    TokenTry tryToken(const std::string& server, const std::string& account, Attempt attempt,
                      std::string& errorText) {
        for (int tries = 0;; ++tries) {
            std::string token;
            if (!accessToken(server, account, token, errorText)) {
                CSecret::wipe(token);
                return TokenTry::Failed;
            }
            const TokenTry result = attempt(CSecret(std::move(token), CSecret::Kind::Token));
            if (result != TokenTry::Refused || tries > 0)
                return result;
            tokenRefused(server, account);
        }
    }
};
