#pragma once

#include <string>

class ISettingsStore;

// Which servers have offered to start TLS on a plain connection (POP3 STLS, SMTP STARTTLS),
// kept in the settings store, so that a later connection to one of them whose offer is missing
// can be refused before anything secret goes out: a man in the middle who strips the offer
// would otherwise get the account, the password or the mail in clear text. A server is its host
// as typed (case ignored) and its port. Nothing is kept of a server that never offered TLS.
class CTlsMemory {
public:
    enum class Offer { Stls, StartTls };

    // The store must outlive the memory.
    explicit CTlsMemory(ISettingsStore& store) : store_(store) {}

    bool offeredBefore(Offer offer, const std::string& host, int port) const;
    // Records the offer; a server already recorded costs no write.
    void remember(Offer offer, const std::string& host, int port);

    // The settings keys: each holds "host:port" entries separated by blanks.
    static constexpr const char* kStlsKey = "StlsOffered";
    static constexpr const char* kStartTlsKey = "StartTlsOffered";

private:
    ISettingsStore& store_;
};
