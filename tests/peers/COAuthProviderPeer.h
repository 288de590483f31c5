#pragma once

#include "tests/peers/CTestPeer.h"

#include <string>

// The identity provider of the tests (oauth_provider.py) on 127.0.0.1: it signs in whoever the
// authorization request names in login_hint at once, redeems codes with PKCE, refreshes, and
// tells Dovecot and the SMTP sink through introspection whether a token is current. The test
// steers it: the lifetime of new access tokens, revoking every token of a kind, its counts.
class COAuthProviderPeer : public CTestPeer {
public:
    // start() waits at most 10 s until it answers.
    explicit COAuthProviderPeer(std::string clientId = "maroket-test", std::string secret = {});

    int port() const { return port_; }
    std::string url(const std::string& path) const;
    std::string authorizationUrl() const { return url("/authorize"); }
    std::string tokenUrl() const { return url("/token"); }
    std::string introspectionUrl() const { return url("/introspect"); }
    const std::string& clientId() const { return clientId_; }

    void setExpiresIn(int seconds);
    // kind: "access" or "refresh".
    void revoke(const std::string& kind);
    // A count of /admin/stats: "authorize", "token" (codes redeemed), "refresh", "introspect",
    // "refused"; -1 when the provider does not answer.
    int count(const std::string& what) const;

    // One HTTP/1.0 request to 127.0.0.1:port (a form body for POST); the reply's body, or the
    // whole reply with headerToo. Empty when nothing answers within 5 s.
    static std::string request(int port, const std::string& method, const std::string& target,
                               const std::string& form = {}, bool headerToo = false);

private:
    bool pickPlace(std::string& error) override;
    bool launch(std::string& error) override;
    bool answers() const override;
    std::string waitedFor() const override;

    std::string clientId_;
    std::string secret_;
    int port_ = -1;
};
