#pragma once

#include "platform/ISocketFactory.h"

#include <memory>
#include <string>

class CSocketFactory;

// Finds the mail exchanger of a domain with one MX query over UDP to the configured DNS server.
// Any failure (no server, no answer within the limit, a malformed answer, no MX record) leaves
// an empty result; the caller decides what an empty exchanger means.
class CMxResolver {
public:
    // factory null: real sockets with the default limits (5 s for the answer).
    explicit CMxResolver(ISocketFactory* factory = nullptr);
    ~CMxResolver();
    CMxResolver(const CMxResolver&) = delete;
    CMxResolver& operator=(const CMxResolver&) = delete;

    void setDnsServer(const std::string& server);
    int lookup(const std::string& domain); // always 1; afterwards getResult()
    std::string getResult() const;

private:
    std::unique_ptr<CSocketFactory> ownFactory_;
    ISocketFactory* factory_ = nullptr;
    std::string dnsServer_;
    std::string result_;
};
