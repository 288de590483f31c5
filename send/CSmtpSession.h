#pragma once

#include "platform/ISocketFactory.h"
#include "resources/StringIds.h"

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

class CDataEnding;
class CFile;
class CMessageStamps;
class CSmtpLogin;
class CSmtpReply;
class CSocketFactory;
class CTlsMemory;
class IMessageStamps;
class IProgressHost;

// The program's SMTP client, one connection per operation. send() delivers one message to one
// recipient; testAddress() asks whether a server takes an address as a recipient. On most ports
// it speaks plain HELO without extensions. On the submission port 587 it says EHLO, starts TLS
// where the server offers STARTTLS and logs in where it offers AUTH; on 465, where TLS starts
// with the first byte, it says EHLO and logs in where offered. The password goes out only under
// TLS. The fields keep their values between operations; each flow sets what it needs. Both
// operations return 1 or 0 and leave the outcome in statusText.
class CSmtpSession {
public:
    enum SmtpStep {
        StepGreeting,
        StepHelo,
        StepMailFrom,
        StepRcptTo,
        StepData,
        StepQuit,
        StepEhlo,
        StepStartTls,
        StepAuth
    };
    static constexpr int kTlsPort = 465;
    static constexpr int kSubmissionPort = 587;

    // Forwarded files above this many bytes go out in pieces, with a progress window.
    static constexpr long long kProgressThreshold = 32768;
    static constexpr std::size_t kForwardPiece = 1024;
    static constexpr std::size_t kReplyMax = 512;
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
    std::string getStatusText() const { return statusText_; }

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
    // One receive for the step and its test: 1 when the server goes on (for StepData, a
    // go-ahead for the message).
    int checkReply(SmtpStep step);
    void setStatusFromTable(StringId id);
    // The server refused the step: its reply, exactly as received, after the server and step.
    void refuse(SmtpStep step, std::string_view reply);
    int deliver();
    int test(const std::string& address);
    // The chain send() and testAddress() share: connect and greeting, HELO (or EHLO with TLS and
    // the login), MAIL FROM (once more with the sender quoted when asked and refused), and the
    // recipient's line.
    bool sendEnvelope(const std::string& recipientLine, bool quotedSenderRetry);
    bool speaksExtensions() const { return port_ == kTlsPort || port_ == kSubmissionPort; }
    // HELO, or EHLO and what follows it where the server offers it.
    bool introduce();
    bool ehlo(CSmtpReply& offer);
    bool startTls();
    // Remembers a server that offered STARTTLS; false, with the reason, for one that offered it
    // before and did not now.
    bool tlsAsBefore(bool offered);
    bool logIn(const CSmtpReply& offer);
    // Sends a line of the login (wiped afterwards) and wants a reply beginning with code.
    bool authStep(std::string line, std::string_view code);
    // Receives until the reply's last line has arrived.
    bool receiveWhole(SmtpStep step, CSmtpReply& reply);
    // QUIT after a success, with doneText as the status; the connection closed either way.
    int finish(bool ok, StringId doneText);
    // The data after the go-ahead: the composed message, or the retrieved one as it is.
    int transmitMessage();
    int forwardFile();
    enum class FileTransfer { Sent, ReadFailed, Stopped };
    // lastRead: what the last read of the file gave, for the reason of a failed one.
    FileTransfer sendFileWhole(CFile& file, long long length, CDataEnding& ending,
                               long long& lastRead);
    FileTransfer sendFileInPieces(CFile& file, long long length, CDataEnding& ending,
                                  long long& lastRead);

    // Texts with a line break would put commands of their own on the wire.
    bool refuseLineBreaks(std::initializer_list<const std::string*> texts);
    // Mail needs a sender: for the envelope, and for a composed message's From line.
    bool refuseMissingSender();
    bool connectAndGreet();
    bool sendLine(SmtpStep step, std::string_view line);
    bool sendData(std::string_view bytes, CDataEnding& ending);
    // Ends the data and takes the one reply the server gives to it: 1 only when it is positive.
    int finishData(const CDataEnding& ending);
    bool receiveReply(SmtpStep step, std::size_t max, std::string_view& reply);
    void failStep(SmtpStep step, StringId reasonId);
    // The user stopped a wait of the transfer: "Forwardning avbruten.", the connection closed.
    void endCancelled();
    void closeSocket();
    bool isConnected() const;

    std::string toHeader_;
    std::string fromHeader_;
    std::string subject_;
    int port_ = 25;
    std::string statusText_;
    std::string server_;
    std::string fromAddress_;
    std::string toAddress_;
    std::string body_;
    std::string forwardFile_;
    std::string heloName_;
    std::unique_ptr<IStream> socket_;
    std::string replyArea_;
    const CSmtpLogin* login_ = nullptr; // during send() and testAddress() only
    bool secure_ = false;               // the connection runs over TLS

    std::unique_ptr<CMessageStamps> ownStamps_;
    IMessageStamps* stamps_ = nullptr;
    std::unique_ptr<CSocketFactory> ownFactory_;
    ISocketFactory* factory_ = nullptr;
    IProgressHost* progressHost_ = nullptr;
    CTlsMemory* tlsMemory_ = nullptr;
};
