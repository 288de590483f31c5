#pragma once

#include "platform/ISocketFactory.h"
#include "resources/StringIds.h"
#include "send/CSmtpChannel.h"

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

class CDataEnding;
class CMessageStamps;
class CSmtpLogin;
class CSocketFactory;
class CTlsMemory;
class IMessageStamps;
class IProgressHost;

// The program's SMTP client: the transaction of one operation, one connection each. send()
// delivers one message to one recipient; testAddress() asks whether a server takes an address as
// a recipient. Before the envelope, CSmtpNegotiation speaks HELO, or on 587 and 465 EHLO with TLS
// and the login; a forwarded message's data is CForwardTransfer's. The fields keep their values
// between operations; each flow sets what it needs. Both operations return 1 or 0 and leave the
// outcome in statusText.
class CSmtpSession {
public:
    static constexpr int kTlsPort = 465;
    static constexpr int kSubmissionPort = 587;
    // The reply to the end of the data is judged by at most so many of its first bytes.
    static constexpr std::size_t kEndReplyMax = 100;

    CSmtpSession();
    ~CSmtpSession();
    CSmtpSession(const CSmtpSession&) = delete;
    CSmtpSession& operator=(const CSmtpSession&) = delete;

    // Seams to the outside; a null factory means real sockets, a null host no window. The
    // factory must outlive the session.
    void setSocketFactory(ISocketFactory* factory);
    void setProgressHost(IProgressHost* host) { progressHost_ = host; }
    // The date and id of each composed message; null means the real clock and ids. The stamps
    // must outlive the session.
    void setMessageStamps(IMessageStamps* stamps);
    // Where the servers on 587 that offered STARTTLS are remembered; one that offers it no
    // longer is refused before anything is sent. Null remembers nothing; it must outlive the
    // session.
    void setTlsMemory(CTlsMemory* memory) { tlsMemory_ = memory; }

    void setFrom(const std::string& text) { fromAddress_ = text; }
    void setTo(const std::string& text) { toAddress_ = text; }
    void setHelo(const std::string& text) { heloName_ = text; }
    const std::string& heloName() const { return heloName_; }
    void setServer(const std::string& text) { server_ = text; }
    void setPort(int port) { port_ = port; }
    int port() const { return port_; }
    void setSubject(const std::string& text) { subject_ = text; }
    void setBody(const std::string& text) { body_ = text; }
    // The next send() forwards the retrieved message in this file, byte for byte, instead of
    // composing one, and removes the file; empty means a composed message. The send uses it up:
    // the one after composes again unless this is called anew.
    void setForwardFile(const std::string& path) { forwardFile_ = path; }

    std::string getServer() const { return server_; }
    std::string getStatusText() const { return channel_.statusText(); }

    // login: what a server that offers AUTH is given; the session keeps it only for the call.
    int send(const CSmtpLogin& login);
    int send();
    int testAddress(const std::string& address, const CSmtpLogin& login);
    int testAddress(const std::string& address);
    // A fresh MX lookup against dnsServer; empty when none was found.
    std::string lookupMailExchanger(const std::string& domain);

    // Set by the owner, directly or with the setters: the DNS server of the lookup, and how a
    // composed body goes out. quotedPrintable 0 (or any value but 1) is automatic: a body with a
    // byte from 0x80 up goes out quoted-printable with the MIME header lines, any other body as
    // typed. 1 sends every composed body quoted-printable. A forwarded message is never changed.
    std::string dnsServer;
    int quotedPrintable = 0;
    void setDnsServer(const std::string& text) { dnsServer = text; }
    void setQuotedPrintable(int value) { quotedPrintable = value; }

private:
    // A display name with the address in angle brackets: the whole text for the header line,
    // the bare address for the envelope. A bare address is both.
    void splitAddresses();
    int deliver();
    int test(const std::string& address);
    // The chain send() and testAddress() share: connect, greeting and negotiation, MAIL FROM
    // (once more with the sender quoted when asked and refused), and the recipient's line.
    bool sendEnvelope(const std::string& recipientLine, bool quotedSenderRetry);
    bool connect();
    // QUIT after a success, with doneText as the status; the connection closed either way.
    int finish(bool ok, StringId doneText);
    // The data after the go-ahead: the composed message, or the retrieved one as it is.
    int transmitMessage();
    int forwardFile();
    // Ends the data and takes the one reply the server gives to it: 1 only when it is positive.
    int finishData(const CDataEnding& ending);

    // Texts with a line break would put commands of their own on the wire.
    bool refuseLineBreaks(std::initializer_list<const std::string*> texts);
    // Mail needs a sender: for the envelope, and for a composed message's From line.
    bool refuseMissingSender();

    std::string toHeader_;
    std::string fromHeader_;
    std::string subject_;
    int port_ = 25;
    std::string server_;
    std::string fromAddress_;
    std::string toAddress_;
    std::string body_;
    std::string forwardFile_;
    std::string heloName_;
    CSmtpChannel channel_;
    const CSmtpLogin* login_ = nullptr; // during send() and testAddress() only

    std::unique_ptr<CMessageStamps> ownStamps_;
    IMessageStamps* stamps_ = nullptr;
    std::unique_ptr<CSocketFactory> ownFactory_;
    ISocketFactory* factory_ = nullptr;
    IProgressHost* progressHost_ = nullptr;
    CTlsMemory* tlsMemory_ = nullptr;
};
