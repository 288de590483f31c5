#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// Points OpenSSL's default trust store (SSL_CERT_FILE, SSL_CERT_DIR) at the given file and
// folder for the life of the object, and puts back what was there. The TLS stream reads the store
// at every connect, so this takes effect at the next one. Set it before starting threads that may
// read the environment.
class CScopedTrustStore {
public:
    CScopedTrustStore(const std::string& file, const std::string& folder)
        : oldFile_(get("SSL_CERT_FILE")), oldFolder_(get("SSL_CERT_DIR")) {
        ::setenv("SSL_CERT_FILE", file.c_str(), 1);
        ::setenv("SSL_CERT_DIR", folder.c_str(), 1);
    }
    ~CScopedTrustStore() {
        put("SSL_CERT_FILE", oldFile_);
        put("SSL_CERT_DIR", oldFolder_);
    }
    CScopedTrustStore(const CScopedTrustStore&) = delete;
    CScopedTrustStore& operator=(const CScopedTrustStore&) = delete;

private:
    static std::optional<std::string> get(const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
    static void put(const char* name, const std::optional<std::string>& value) {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }

    std::optional<std::string> oldFile_;
    std::optional<std::string> oldFolder_;
};
