#include "send/CSmtpLogin.h"

#include <openssl/crypto.h>

#include <utility>

CSmtpLogin::CSmtpLogin(std::string account, std::string password)
    : account_(std::move(account)), password_(std::move(password)) {}

CSmtpLogin::~CSmtpLogin() {
    wipe(password_);
}

CSmtpLogin::CSmtpLogin(CSmtpLogin&& other) noexcept
    : account_(std::move(other.account_)), password_(std::move(other.password_)) {
    // A short text is copied, not moved, out of the other's own room.
    wipe(other.password_);
}

void CSmtpLogin::wipe(std::string& text) {
    // Growing to the capacity never reallocates, so the whole room is in reach; the cleanse is
    // one the compiler may not leave out.
    text.resize(text.capacity());
    OPENSSL_cleanse(text.data(), text.size());
    text.clear();
}
