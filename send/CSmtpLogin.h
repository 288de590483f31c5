#pragma once

#include "platform/CSecret.h"

#include <string>
#include <string_view>
#include <utility>

// The account and secret an SMTP server may ask for, handed to the session for one operation (a
// send, an address test, one forward run). The flows take them from the window's login fields
// just before; nothing keeps them afterwards. The secret overwrites itself when the object goes,
// and the session overwrites every line it builds from it.
class CSmtpLogin {
public:
    CSmtpLogin() = default;
    CSmtpLogin(std::string account, CSecret secret)
        : account_(std::move(account)), secret_(std::move(secret)) {}
    CSmtpLogin(std::string account, std::string password)
        : CSmtpLogin(std::move(account), CSecret(std::move(password))) {}
    CSmtpLogin(CSmtpLogin&& other) noexcept = default;
    CSmtpLogin& operator=(CSmtpLogin&&) = delete;
    CSmtpLogin(const CSmtpLogin&) = delete;
    CSmtpLogin& operator=(const CSmtpLogin&) = delete;

    // Nothing to log in with: no AUTH is tried.
    bool empty() const { return account_.empty() || secret_.empty(); }
    const std::string& account() const { return account_; }
    const CSecret& secret() const { return secret_; }

private:
    std::string account_;
    CSecret secret_;
};
