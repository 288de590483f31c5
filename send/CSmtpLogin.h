#pragma once

#include "platform/CSecret.h"

#include <string>
#include <string_view>
#include <utility>

class IAccessTokens;

// The account and secret an SMTP server may ask for, handed to the session for one operation (a
// send, an address test, one forward run). The flows take them from the window's login fields
// just before; nothing keeps them afterwards. The secret overwrites itself when the object goes,
// and the session overwrites every line it builds from it. An account that signs in with OAuth
// 2.0 has no secret here: its access token is asked from tokens right before the login.
class CSmtpLogin {
public:
    CSmtpLogin() = default;
    CSmtpLogin(std::string account, CSecret secret)
        : account_(std::move(account)), secret_(std::move(secret)) {}
    CSmtpLogin(std::string account, std::string password)
        : CSmtpLogin(std::move(account), CSecret(std::move(password))) {}
    // tokens must outlive the login.
    CSmtpLogin(std::string account, IAccessTokens& tokens)
        : account_(std::move(account)), tokens_(&tokens) {}
    CSmtpLogin(CSmtpLogin&& other) noexcept = default;
    CSmtpLogin& operator=(CSmtpLogin&&) = delete;
    CSmtpLogin(const CSmtpLogin&) = delete;
    CSmtpLogin& operator=(const CSmtpLogin&) = delete;

    // Nothing to log in with: no AUTH is tried.
    bool empty() const { return account_.empty() || (secret_.empty() && !tokens_); }
    const std::string& account() const { return account_; }
    const CSecret& secret() const { return secret_; }
    // Set: the login is an access token's.
    IAccessTokens* tokens() const { return tokens_; }

private:
    std::string account_;
    CSecret secret_;
    IAccessTokens* tokens_ = nullptr;
};
