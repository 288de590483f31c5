#include "platform/CSecret.h"

#include <openssl/crypto.h>

#include <utility>

CSecret::CSecret(std::string&& text, Kind kind) : bytes_(std::move(text)), kind_(kind) {
    wipe(text);
}

CSecret::CSecret(CSecret&& other) noexcept : bytes_(std::move(other.bytes_)), kind_(other.kind_) {
    wipe(other.bytes_);
}

CSecret& CSecret::operator=(CSecret&& other) noexcept {
    if (this != &other) {
        wipe(bytes_);
        bytes_ = std::move(other.bytes_);
        kind_ = other.kind_;
        wipe(other.bytes_);
    }
    return *this;
}

CSecret CSecret::copy() const {
    return CSecret(std::string(bytes_), kind_);
}

void CSecret::wipe(std::string& text) {
    // Growing to the capacity never reallocates, so the whole room is in reach; the cleanse is
    // one the compiler may not leave out.
    text.resize(text.capacity());
    OPENSSL_cleanse(text.data(), text.size());
    text.clear();
}
