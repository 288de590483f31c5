#pragma once

#include "tests/peers/CTestPeer.h"

#include <cstddef>
#include <string>
#include <sys/types.h>
#include <vector>

// A real SMTP server (aiosmtpd) on 127.0.0.1 for one test, keeping every message it receives in
// a fresh temporary folder. It accepts any sender and recipient (after a login, only senders of
// the account's own name), and refuses at the end of its data a message with the header line
// "X-Sink-Refuse: yes" (with kRefusal) and, as providers do, one that a strict RFC 5322 reading
// refuses: without exactly one valid From, Date and Message-ID (with a 550 reply).
class CSmtpSinkPeer : public CTestPeer {
public:
    struct Message {
        std::string helo;
        std::string sender;                  // as the envelope gave it
        std::vector<std::string> recipients; // in the order of the RCPT commands
        std::string login;                   // "PLAIN anna", "LOGIN anna", "XOAUTH2 anna" or empty
        std::string data;                    // the data as sent, with leading dots undoubled
    };

    static constexpr const char* kRefusal = "554 5.6.0 Refused by the sink\r\n";

    // start() waits at most 10 s until the port greets.
    CSmtpSinkPeer();

    std::string host() const { return "127.0.0.1"; }
    int port() const { return port_; }

    // From the next start() on, also SMTP over TLS from the first byte on port 465 of address (a
    // loopback address of the test's own: see CFreePort::pickAddress), with the certificate and
    // key given. The plain port stays for the start-up check.
    void listenWithTls(const std::string& address, const std::string& certificateFile,
                       const std::string& keyFile);
    static constexpr int kTlsPort = 465;
    static constexpr int kSubmissionPort = 587;
    std::string tlsHost() const { return tlsAddress_; }

    // With listenWithTls, from the next start() on: port 465 takes mail only after a login with
    // this account and password, and port kSubmissionPort of the same address only after
    // STARTTLS and that login; a wrong password is refused in two lines.
    void requireLogin(const std::string& account, const std::string& password) {
        account_ = account;
        password_ = password;
    }

    // With listenWithTls, from the next start() on: ports 465 and kSubmissionPort also take AUTH
    // XOAUTH2 with an access token that the identity provider at introspectionUrl calls current
    // for the account it names (without requireLogin, only that login). Message::login is then
    // "XOAUTH2 <account>".
    void acceptOAuth(const std::string& introspectionUrl) { introspectionUrl_ = introspectionUrl; }

    // From the next start() on, the sink also writes the header lines of each message it takes
    // to its output (see log()), under a line naming the envelope.
    void printHeaders() { printHeaders_ = true; }

    // The messages stored so far, in the order they arrived.
    std::vector<Message> messages() const;
    // Waits at most timeoutMs until at least count messages are stored.
    bool waitForMessages(std::size_t count, int timeoutMs = 5000) const;

private:
    bool prepare(std::string& error) override;
    bool pickPlace(std::string& error) override;
    bool launch(std::string& error) override;
    bool answers() const override;
    std::string waitedFor() const override;
    std::size_t storedCount() const;

    std::string tlsAddress_;
    std::string tlsCertificate_;
    std::string tlsKey_;
    std::string account_;
    std::string password_;
    std::string introspectionUrl_;
    int port_ = -1;
    bool printHeaders_ = false;
};
