#pragma once

#include <string>

namespace QKeychain {
class Job;
}

// The secrets the program keeps between runs, in the desktop's keyring through QtKeychain (the
// Secret Service of GNOME and others, or KWallet), under the service "Maroket". Never anywhere
// else: QtKeychain's fallback to a plain file stays off. Each call waits for the keyring at most
// the limit, the windows going on meanwhile, since a keyring may ask the user to unlock it.
class CKeyring {
public:
    enum class Result { Done, NotFound, Unavailable };

    explicit CKeyring(int limitMs = 60000) : limitMs_(limitMs) {}
    void setLimit(int limitMs) { limitMs_ = limitMs; }

    Result read(const std::string& key, std::string& secret);
    Result write(const std::string& key, const std::string& secret);
    Result remove(const std::string& key);

    static constexpr const char* kService = "Maroket";

private:
    Result run(QKeychain::Job* job, std::string* secret);

    int limitMs_;
};
