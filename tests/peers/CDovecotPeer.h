#pragma once

#include "tests/peers/CTestPeer.h"

#include <string>
#include <sys/types.h>

// A real Dovecot POP3 server on 127.0.0.1 for one test: its own config, mailbox, sockets and log
// in a fresh temporary folder, so several can run at once and nothing of the machine's Dovecot is
// touched. One account: user() / password(), a maildir that addMessage() fills.
class CDovecotPeer : public CTestPeer {
public:
    // start() waits at most 10 s until the port greets. After stop() it starts again on a new
    // port, same mailbox. stop() ends the whole process group.
    CDovecotPeer();

    std::string host() const { return "127.0.0.1"; }
    int port() const { return port_; }
    std::string user() const { return user_; }
    std::string password() const { return password_; }
    // Another account than tester / secret; only before the first start() or addMessage().
    void setAccount(const std::string& user, const std::string& password) {
        user_ = user;
        password_ = password;
    }

    // From the next start() on, the account may also log in with an OAuth 2.0 access token
    // (AUTH XOAUTH2 and OAUTHBEARER), which Dovecot's oauth2 passdb checks with a POST to the
    // introspection URL (RFC 7662), as a provider's servers do.
    void acceptOAuth(const std::string& introspectionUrl) { introspectionUrl_ = introspectionUrl; }

    // One AUTH with its initial response (base64) on a fresh connection to the plain port: the
    // server's answer, and after a challenge (a refused token's reason) the answer to the
    // client's empty reply as well, each line with its CR LF. The connection then ends.
    std::string authenticate(const std::string& mechanism, const std::string& response) const;

    // Lines appended to the config at the next start(), e.g. a setting a test needs.
    void addConfig(const std::string& lines);

    // From the next start() on, also POP3 over TLS on port 995 of address (a loopback address
    // of the test's own: see CFreePort::pickAddress), with ssl = required, so that no login is
    // taken without TLS. The plain port stays for the start-up check.
    void listenWithTls(const std::string& address, const std::string& certificateFile,
                       const std::string& keyFile);
    static constexpr int kTlsPort = 995;
    std::string tlsHost() const { return tlsAddress_; }

    // From the next start() on, the plain port offers STLS, with the certificate and key given
    // (ssl = yes: a login without TLS is still taken).
    void offerStls(const std::string& certificateFile, const std::string& keyFile) {
        stlsCertificate_ = certificateFile;
        stlsKey_ = keyFile;
    }

    // Adds one message to the mailbox, stored as given (give LF line ends: Dovecot sends CRLF).
    // Messages get numbers 1, 2, 3... in the order they are added. A POP3 session that is
    // already open does not see them.
    bool addMessage(const std::string& bytes);
    // Message files in the maildir (new/ and cur/).
    int messagesOnDisk() const;

private:
    bool prepare(std::string& error) override;
    bool pickPlace(std::string& error) override;
    bool launch(std::string& error) override;
    bool answers() const override;
    std::string waitedFor() const override;
    bool writeConfig(std::string& error);

    std::string user_ = "tester";
    std::string password_ = "secret";
    std::string extraConfig_;
    std::string introspectionUrl_;
    std::string tlsAddress_;
    std::string tlsCertificate_;
    std::string tlsKey_;
    std::string stlsCertificate_;
    std::string stlsKey_;
    int port_ = -1;
    int added_ = 0;
    bool root_ = false;
    uid_t mailUid_ = 0;
    gid_t mailGid_ = 0;
};
