#include "pop3/CPop3Connection.h"

#include "platform/CConnectFailureText.h"
#include "platform/CSecret.h"
#include "pop3/CCharset.h"
#include "pop3/CEndOfData.h"
#include "pop3/CReplyParser.h"
#include "pop3/ReplyLimits.h"
#include "resources/CStringTable.h"

#include <algorithm>

namespace {

constexpr std::size_t kStatusReceive = 4096;
// How long the bytes of a long reply may take to gather before the next receive.
constexpr int kGatherMs = 50;

StringId labelOf(ReplyKind kind) {
    switch (kind) {
    case ReplyKind::Greeting:
        return StringId::CannotConnect;
    case ReplyKind::User:
        return StringId::UserLabel;
    case ReplyKind::Pass:
        return StringId::PassLabel;
    case ReplyKind::Quit:
        return StringId::QuitLabel;
    case ReplyKind::Dele:
        return StringId::DeleLabel;
    case ReplyKind::Rset:
        return StringId::RsetLabel;
    case ReplyKind::Stat:
        return StringId::StatLabel;
    case ReplyKind::Noop:
        return StringId::NoopLabel;
    case ReplyKind::List:
        return StringId::ListLabel;
    case ReplyKind::Retr:
        return StringId::RetrLabel;
    case ReplyKind::Top:
        return StringId::TopLabel;
    case ReplyKind::Uidl:
        return StringId::UidlLabel;
    case ReplyKind::Capa:
        return StringId::CapaLabel;
    case ReplyKind::Stls:
        return StringId::StlsLabel;
    case ReplyKind::Auth:
        return StringId::AuthLabel;
    }
    return StringId::CannotConnect;
}

// Why a receive or send ended without its bytes.
StringId reasonOf(IoStatus status) {
    switch (status) {
    case IoStatus::TimedOut:
        return StringId::TimedOut;
    case IoStatus::Cancelled:
        return StringId::CancelledByUser;
    default:
        return StringId::ConnectionLost;
    }
}

// Appends what still fits under the limit.
void appendBounded(std::string& to, std::string_view bytes, std::size_t limit) {
    to.append(bytes.substr(0, limit - std::min(to.size(), limit)));
}

} // namespace

bool CPop3Connection::open(ISocketFactory& factory, const std::string& host, int port,
                           StreamSecurity security) {
    close();
    socket_ = factory.createStream(security);
    waitCut_ = false;
    if (socket_->connect(host, port))
        return true;
    errorText_ = CConnectFailureText::of(socket_->connectFailure(), host, port);
    waitCut_ = socket_->connectFailure() == ConnectFailure::Cancelled;
    close();
    return false;
}

bool CPop3Connection::startTls(ISocketFactory& factory, const std::string& host, int port) {
    socket_ = factory.startTls(std::move(socket_), host);
    if (isOpen())
        return true;
    errorText_ = CConnectFailureText::of(
        socket_ ? socket_->connectFailure() : ConnectFailure::HandshakeFailed, host, port);
    return false;
}

void CPop3Connection::close() {
    socket_.reset();
    pending_.clear();
    CSecret::wipe(held_);
    holding_ = false;
    if (onClose_)
        onClose_();
}

void CPop3Connection::fail(ReplyKind kind, StringId textId) {
    fail(kind, CStringTable::load(textId));
}

void CPop3Connection::fail(ReplyKind kind, std::string_view text) {
    errorText_ = CStringTable::load(labelOf(kind)) + " ";
    errorText_ += text;
}

void CPop3Connection::lost(ReplyKind kind, IoStatus status) {
    waitCut_ = status == IoStatus::Cancelled;
    fail(kind, reasonOf(status));
    close();
}

bool CPop3Connection::inStep(ReplyKind kind) {
    if (pending_.empty() && !socket_->hasArrived())
        return true;
    fail(kind, StringId::OutOfStep);
    // Without QUIT the server commits nothing of this session.
    close();
    return false;
}

bool CPop3Connection::send(ReplyKind kind, std::string_view line, bool answerDue) {
    waitCut_ = false;
    if (!isOpen()) {
        fail(kind, StringId::NotConnected);
        return false;
    }
    if (line.find_first_of("\r\n") != line.size() - 2) {
        fail(kind, StringId::LineBreakInLogin);
        return false;
    }
    if (!answerDue && !inStep(kind))
        return false;
    if (holding_) {
        held_.append(line);
        return true;
    }
    if (socket_->send(line))
        return true;
    lost(kind, socket_->sendStatus());
    return false;
}

bool CPop3Connection::release(ReplyKind kind) {
    holding_ = false;
    if (held_.empty())
        return true;
    const bool sent = isOpen() && socket_->send(held_);
    CSecret::wipe(held_);
    if (sent)
        return true;
    if (isOpen())
        lost(kind, socket_->sendStatus());
    else
        fail(kind, StringId::NotConnected);
    return false;
}

bool CPop3Connection::receive(ReplyKind kind, std::size_t max, std::string_view& chunk) {
    // Nothing is waited for that has not been asked.
    if (holding_ && !release(kind))
        return false;
    if (!isOpen()) {
        fail(kind, StringId::NotConnected);
        return false;
    }
    if (receiveArea_.size() < max)
        receiveArea_.resize(max);
    // What came in with the status line is the first part of the data that follows it.
    if (!pending_.empty()) {
        const std::size_t n = std::min(max, pending_.size());
        pending_.copy(receiveArea_.data(), n);
        pending_.erase(0, n);
        chunk = std::string_view(receiveArea_.data(), n);
        return true;
    }
    const IoResult r = socket_->receive(receiveArea_.data(), max);
    if (r.status == IoStatus::Ok && r.count > 0) {
        chunk = std::string_view(receiveArea_.data(), r.count);
        return true;
    }
    lost(kind, r.status);
    return false;
}

bool CPop3Connection::readStatusLine(ReplyKind kind, std::string& line) {
    if (kind != ReplyKind::Noop)
        ++activity_;
    // The status line is taken from larger receives rather than a byte at a time; whatever
    // follows its line end stays for the data block of the same reply. A line that never ends
    // ends with the receive's deadline.
    line.clear();
    for (;;) {
        const std::size_t end = pending_.find('\n');
        const std::size_t taken = end == std::string::npos ? pending_.size() : end + 1;
        appendBounded(line, std::string_view(pending_).substr(0, taken),
                      ReplyLimits::kStatusLineMax);
        pending_.erase(0, taken);
        if (end != std::string::npos)
            return true;
        std::string_view chunk;
        if (!receive(kind, kStatusReceive, chunk))
            return false;
        pending_.assign(chunk);
    }
}

bool CPop3Connection::readStatus(ReplyKind kind, std::string& line) {
    if (!readStatusLine(kind, line))
        return false;
    if (!CReplyParser::isFailure(line))
        return true;
    // The server's own words, in whatever charset it chose, become text here.
    if (kind != ReplyKind::Top)
        fail(kind, CCharset::fromUnknown(line));
    return false;
}

bool CPop3Connection::readDataBlock(ReplyKind kind, std::size_t max, bool pauseFirst,
                                    const Consume& consume) {
    CEndOfData end;
    for (bool first = true; !end.complete(); first = false) {
        // The next receive should be a large one, but nothing waits once it is there or the
        // reply has ended.
        if ((pauseFirst || !first) && pending_.empty() && isOpen()) {
            CEndOfData probe = end;
            socket_->awaitData(
                max,
                [&probe](std::string_view arrived) {
                    probe.feed(arrived);
                    return probe.complete();
                },
                kGatherMs);
        }
        std::string_view chunk;
        if (!receive(kind, max, chunk))
            return false;
        const std::size_t used = end.feed(chunk);
        // Answers to commands sent ahead may follow in the same receive.
        if (used < chunk.size())
            pending_.insert(0, chunk.substr(used));
        if (!consume(chunk.substr(0, used), end.complete()))
            return false;
    }
    return true;
}
