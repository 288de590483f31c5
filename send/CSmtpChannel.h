#pragma once

#include "platform/IStream.h"
#include "resources/StringIds.h"
#include "send/CSmtpReply.h"
#include "send/SmtpStep.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

class ISocketFactory;

// One connection to an SMTP server: the socket, each line or piece of data out, each reply in
// through the one reader every step uses (CSmtpReply), and the status text that says how the
// operation on it ended. A connection that failed is closed: what the server sends later could
// not be told from the next reply.
class CSmtpChannel {
public:
    static constexpr std::size_t kReplyMax = 512;

    // Connects to server:port, with TLS from the first byte when tls; false with the reason.
    bool open(ISocketFactory& factory, const std::string& server, int port, bool tls);
    // TLS on the open connection (after the server's go-ahead to STARTTLS); false with the
    // reason.
    bool startTls(ISocketFactory& factory);
    void close();
    bool isOpen() const { return socket_ && socket_->isOpen(); }
    // The connection runs over TLS.
    bool secure() const { return secure_; }
    const std::string& server() const { return server_; }

    bool send(SmtpStep step, std::string_view bytes);
    // Receives until the reply has ended (for a OneReceive reply: one receive of at most max
    // bytes); false with the reason when the connection failed first.
    bool read(SmtpStep step, CSmtpReply& reply, std::size_t max = kReplyMax);
    // Reads the step's reply and wants it to begin with code (case ignored); a reply that does
    // not is the server's refusal, which the status text quotes.
    bool expect(SmtpStep step, std::string_view code,
                CSmtpReply::Extent extent = CSmtpReply::Extent::OneReceive);

    // The server refused the step: its reply, exactly as received, after the server and step.
    void refuse(SmtpStep step, std::string_view reply);
    // The step failed for the reason given; the connection is closed.
    void fail(SmtpStep step, StringId reasonId);
    // What the status text says when the user stops a wait of this operation.
    void setCancelledText(StringId id) { cancelledText_ = id; }

    const std::string& statusText() const { return statusText_; }
    void setStatus(std::string text) { statusText_ = std::move(text); }
    void setStatus(StringId id);

private:
    // The user stopped a wait: the cancelled text, the connection closed.
    void endCancelled();

    std::unique_ptr<IStream> socket_;
    std::string server_;
    std::string statusText_;
    std::string replyArea_;
    int port_ = 0;
    StringId cancelledText_ = StringId::CancelledByUser;
    bool secure_ = false;
};
