#include "send/CSmtpChannel.h"

#include "platform/CConnectFailureText.h"
#include "platform/ISocketFactory.h"
#include "pop3/CCharset.h"
#include "resources/CStringTable.h"

namespace {

StringId labelOf(SmtpStep step) {
    switch (step) {
    case SmtpStep::Helo:
        return StringId::HeloLabel;
    case SmtpStep::Ehlo:
        return StringId::EhloLabel;
    case SmtpStep::StartTls:
        return StringId::StartTlsLabel;
    case SmtpStep::Auth:
        return StringId::AuthLabel;
    case SmtpStep::MailFrom:
        return StringId::MailFromLabel;
    case SmtpStep::RcptTo:
        return StringId::RcptToLabel;
    default:
        return StringId::DataLabel;
    }
}

} // namespace

void CSmtpChannel::setStatus(StringId id) {
    statusText_ = CStringTable::load(id);
}

bool CSmtpChannel::open(ISocketFactory& factory, const std::string& server, int port, bool tls) {
    close();
    server_ = server;
    port_ = port;
    secure_ = tls;
    socket_ = factory.createStream(tls ? StreamSecurity::Tls : StreamSecurity::Plain);
    if (socket_ && socket_->connect(server, port))
        return true;
    statusText_ = CConnectFailureText::of(
        socket_ ? socket_->connectFailure() : ConnectFailure::Unspecified, server, port);
    close();
    return false;
}

bool CSmtpChannel::startTls(ISocketFactory& factory) {
    socket_ = factory.startTls(std::move(socket_), server_);
    if (isOpen()) {
        secure_ = true;
        return true;
    }
    statusText_ = CConnectFailureText::of(
        socket_ ? socket_->connectFailure() : ConnectFailure::HandshakeFailed, server_, port_);
    close();
    return false;
}

void CSmtpChannel::close() {
    if (socket_)
        socket_->close();
    socket_.reset();
}

bool CSmtpChannel::send(SmtpStep step, std::string_view bytes) {
    if (!isOpen()) {
        fail(step, StringId::ConnectionLost);
        return false;
    }
    if (socket_->send(bytes))
        return true;
    if (socket_->sendStatus() == IoStatus::Cancelled)
        endCancelled();
    else
        fail(step, StringId::ConnectionLost);
    return false;
}

bool CSmtpChannel::read(SmtpStep step, CSmtpReply& reply, std::size_t max) {
    while (!reply.complete()) {
        if (!isOpen()) {
            fail(step, StringId::ConnectionLost);
            return false;
        }
        replyArea_.assign(max, '\0');
        const IoResult r = socket_->receive(replyArea_.data(), max);
        if (r.status != IoStatus::Ok || r.count == 0) {
            if (r.status == IoStatus::Cancelled)
                endCancelled();
            else
                fail(step, r.status == IoStatus::TimedOut ? StringId::TimedOut
                                                          : StringId::ConnectionLost);
            return false;
        }
        reply.feed(std::string_view(replyArea_.data(), r.count));
    }
    return true;
}

bool CSmtpChannel::expect(SmtpStep step, std::string_view code, CSmtpReply::Extent extent) {
    CSmtpReply reply(extent);
    if (!read(step, reply))
        return false;
    if (CCharset::startsWithIgnoringCase(reply.text(), code))
        return true;
    refuse(step, reply.text());
    return false;
}

void CSmtpChannel::refuse(SmtpStep step, std::string_view reply) {
    // The server's own words, in whatever charset it chose, become text here.
    statusText_ =
        server_ + ": " + CStringTable::load(labelOf(step)) + " " + CCharset::fromUnknown(reply);
}

void CSmtpChannel::fail(SmtpStep step, StringId reasonId) {
    const std::string reason = CStringTable::load(reasonId);
    if (step == SmtpStep::Greeting)
        statusText_ = CStringTable::load(StringId::GreetingRefused) + " " + reason;
    else
        statusText_ = server_ + ": " + CStringTable::load(labelOf(step)) + " " + reason;
    close();
}

void CSmtpChannel::endCancelled() {
    setStatus(cancelledText_);
    // The server is in the middle of a reply or the data: the connection cannot be used again.
    close();
}
