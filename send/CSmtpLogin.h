#pragma once

#include <string>

// The account and password an SMTP server may ask for, handed to the session for one operation
// (a send, an address test, one forward run). The flows take them from the window's login
// fields just before; nothing keeps them afterwards. The password is overwritten in memory when
// the object goes, and so is every line the session builds from it.
class CSmtpLogin {
public:
    CSmtpLogin() = default;
    CSmtpLogin(std::string account, std::string password);
    ~CSmtpLogin();
    CSmtpLogin(CSmtpLogin&& other) noexcept;
    CSmtpLogin& operator=(CSmtpLogin&&) = delete;
    CSmtpLogin(const CSmtpLogin&) = delete;
    CSmtpLogin& operator=(const CSmtpLogin&) = delete;

    // Nothing to log in with: no AUTH is tried.
    bool empty() const { return account_.empty() || password_.empty(); }
    const std::string& account() const { return account_; }
    const std::string& password() const { return password_; }

    // Overwrites every byte the text holds, its unused room included, and empties it.
    static void wipe(std::string& text);

private:
    std::string account_;
    std::string password_;
};
