#include "pop3/CPop3Session.h"

#include "platform/CClock.h"
#include "platform/CConnectFailureText.h"
#include "platform/CFile.h"
#include "platform/CProgressThread.h"
#include "platform/CSocketFactory.h"
#include "platform/CTempFile.h"
#include "platform/CTlsMemory.h"
#include "platform/IContentHost.h"
#include "platform/IMessageBoxHost.h"
#include "pop3/CCharset.h"
#include "pop3/CEndOfData.h"
#include "pop3/CHeaderDecoder.h"
#include "pop3/CMessageText.h"
#include "pop3/CReplyParser.h"
#include "pop3/ReplyLimits.h"
#include "resources/CStringTable.h"
#include "resources/StringIds.h"

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

namespace {

constexpr int kTlsPort = 995;

constexpr std::size_t kStatusReceive = 4096;
constexpr std::size_t kListReceive = 8192;
constexpr std::size_t kTopReceive = 16384;
constexpr std::size_t kRetrReceive = 65535;
// How long the bytes of a long reply may take to gather before the next receive.
constexpr int kGatherMs = 50;
// A listing line: a message number, a blank, an id of at most 70 characters, CR LF.
constexpr std::size_t kUidlLineMax = 84;

// The text that prefixes a refused command's error text.
StringId prefixIdOf(CPop3Session::ReplyKind kind) {
    using Kind = CPop3Session::ReplyKind;
    switch (kind) {
    case Kind::Greeting:
        return StringId::CannotConnect;
    case Kind::User:
        return StringId::UserLabel;
    case Kind::Pass:
        return StringId::PassLabel;
    case Kind::Quit:
        return StringId::QuitLabel;
    case Kind::Dele:
        return StringId::DeleLabel;
    case Kind::Rset:
        return StringId::RsetLabel;
    case Kind::Stat:
        return StringId::StatLabel;
    case Kind::Noop:
        return StringId::NoopLabel;
    case Kind::List:
        return StringId::ListLabel;
    case Kind::Retr:
        return StringId::RetrLabel;
    case Kind::Top:
        return StringId::TopLabel;
    case Kind::Uidl:
        return StringId::UidlLabel;
    case Kind::Capa:
        return StringId::CapaLabel;
    case Kind::Stls:
        return StringId::StlsLabel;
    }
    return StringId::CannotConnect;
}

std::string prefixOf(CPop3Session::ReplyKind kind) {
    return CStringTable::load(prefixIdOf(kind));
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

// Appends what still fits under the limit; true when something had to be left out.
bool appendBounded(std::string& to, std::string_view bytes, std::size_t limit) {
    const std::size_t room = limit - std::min(to.size(), limit);
    to.append(bytes.substr(0, room));
    return bytes.size() > room;
}

// "+OK <count> <octets>" as the standard writes it, anything after a further blank being the
// server's own: the only answer a run's proof takes, so that no other reply can pass for it.
bool parseExactStat(std::string_view line, long long& count) {
    if (line.ends_with("\r\n"))
        line.remove_suffix(2);
    else
        return false;
    if (!CCharset::startsWithIgnoringCase(line, "+OK "))
        return false;
    line.remove_prefix(4);
    auto number = [&line](long long& value) {
        std::size_t n = 0;
        for (value = 0; n < line.size() && line[n] >= '0' && line[n] <= '9'; ++n)
            value = std::min(value * 10 + (line[n] - '0'), 1LL << 40);
        line.remove_prefix(n);
        return n > 0;
    };
    long long octets = 0;
    if (!number(count) || !line.starts_with(' '))
        return false;
    line.remove_prefix(1);
    return number(octets) && (line.empty() || line[0] == ' ');
}

} // namespace

CPop3Session::CPop3Session()
    : ownFactory_(std::make_unique<CSocketFactory>()), factory_(ownFactory_.get()) {}

CPop3Session::~CPop3Session() = default;

void CPop3Session::setSocketFactory(ISocketFactory* factory) {
    factory_ = factory ? factory : ownFactory_.get();
}

bool CPop3Session::isConnected() const {
    return socket_ && socket_->isOpen();
}

void CPop3Session::dropConnection() {
    socket_.reset();
    pending_.clear();
    forgetSession();
}

void CPop3Session::forgetSession() {
    if (run_) {
        table_ = std::move(run_->table);
        headersCached_ = run_->headersCached;
        run_.reset();
    }
    baseCountKnown_ = false;
    pendingDeletes_.clear();
    uids_.clear();
    outstanding_.clear();
    outstandingBytes_ = 0;
    pipelining_ = false;
    stlsOffered_ = false;
}

int CPop3Session::getMessageSize(int message) const {
    double size = table_.sizeOf(message);
    return size >= INT_MAX ? INT_MAX : size <= INT_MIN ? INT_MIN : static_cast<int>(size);
}

void CPop3Session::fail(ReplyKind kind, StringId textId) {
    errorText_ = prefixOf(kind) + " " + CStringTable::load(textId);
}

bool CPop3Session::login() {
    // A connection left from an earlier attempt is closed first, never leaked.
    dropConnection();
    // POP3 over TLS has its own port, where TLS starts with the first byte.
    socket_ =
        factory_->createStream(port_ == kTlsPort ? StreamSecurity::Tls : StreamSecurity::Plain);
    table_.clearSizes();
    waitCut_ = false;
    if (!socket_->connect(host_, port_)) {
        errorText_ = CConnectFailureText::of(socket_->connectFailure(), host_, port_);
        waitCut_ = socket_->connectFailure() == ConnectFailure::Cancelled;
        dropConnection();
        return false;
    }
    bool ok = readReply(ReplyKind::Greeting);
    if (!ok && isConnected())
        errorText_ = CStringTable::load(StringId::GreetingRefused);
    // What the server can do is asked before the account is named, except where TLS from the
    // first byte makes the server of port 995 a different one until the login; a server that
    // cannot say gets USER and PASS as they are, one command at a time.
    const bool askFirst = port_ != kTlsPort;
    ok = ok && (!askFirst || capa());
    ok = ok && (!askFirst || tlsAsBefore());
    ok = ok && (!stlsOffered_ || startTls());
    ok = ok && authenticate();
    ok = ok && (!pipeliningAllowed_ || askFirst || capa());
    if (!ok)
        dropConnection(); // a refused login leaves nothing open to the server
    return ok;
}

bool CPop3Session::tlsAsBefore() {
    if (!tlsMemory_)
        return true;
    if (stlsOffered_) {
        tlsMemory_->remember(CTlsMemory::Offer::Stls, host_, port_);
        return true;
    }
    if (!tlsMemory_->offeredBefore(CTlsMemory::Offer::Stls, host_, port_))
        return true;
    errorText_ = CStringTable::load(StringId::CannotConnect) + " " +
                 CStringTable::load(StringId::StlsWithdrawn);
    return false;
}

bool CPop3Session::authenticate() {
    const std::string user = "USER " + user_ + "\r\n";
    const std::string pass = "PASS " + password_ + "\r\n";
    if (!pipelining_)
        return sendCommand(ReplyKind::User, user) && readReply(ReplyKind::User) &&
               sendCommand(ReplyKind::Pass, pass) && readReply(ReplyKind::Pass);
    // Both lines in one go; a refused USER is the reason, whatever PASS then meets.
    if (!queueCommand(ReplyKind::User, 0, user) || !queueCommand(ReplyKind::Pass, 0, pass))
        return false;
    if (!readNext(ReplyKind::User)) {
        const std::string reason = errorText_;
        finishOutstanding();
        errorText_ = reason;
        return false;
    }
    return readNext(ReplyKind::Pass);
}

bool CPop3Session::startTls() {
    stlsOffered_ = false;
    if (!sendCommand(ReplyKind::Stls, "STLS\r\n"))
        return false;
    const std::string refused = CConnectFailureText::of(ConnectFailure::HandshakeFailed);
    if (!readReply(ReplyKind::Stls)) {
        if (isConnected())
            errorText_ = refused + " " + errorText_; // the server's line after "STLS:"
        return false;
    }
    // Bytes after the go-ahead would be read as if TLS had protected them.
    if (!pending_.empty()) {
        errorText_ = refused;
        return false;
    }
    socket_ = factory_->startTls(std::move(socket_), host_);
    if (!isConnected()) {
        errorText_ = CConnectFailureText::of(
            socket_ ? socket_->connectFailure() : ConnectFailure::HandshakeFailed, host_, port_);
        return false;
    }
    // What the server listed in clear counts for nothing now.
    return capa();
}

bool CPop3Session::capa() {
    pipelining_ = false;
    stlsOffered_ = false;
    return sendCommand(ReplyKind::Capa, "CAPA\r\n") &&
           (readReply(ReplyKind::Capa) || isConnected());
}

bool CPop3Session::stat() {
    return sendCommand(ReplyKind::Stat, "STAT\r\n") && readReply(ReplyKind::Stat);
}

bool CPop3Session::list() {
    return sendCommand(ReplyKind::List, "LIST\r\n") && readReply(ReplyKind::List);
}

bool CPop3Session::top(int message, int lines) {
    replyText_.clear();
    replyCut_ = false;
    bool ok = sendCommand(ReplyKind::Top, "TOP " + std::to_string(message) + " " +
                                              std::to_string(lines) + "\r\n") &&
              readReply(ReplyKind::Top);
    if (!ok) {
        replyText_.clear(); // half a header block must not pass for the message's headers
        replyCut_ = false;
    }
    return ok;
}

bool CPop3Session::retr(int message) {
    replyText_.clear();
    replyCut_ = false;
    // Only a message this retr downloaded is ever handed on.
    retrieved_ = CTempFile{};
    return sendCommand(ReplyKind::Retr, "RETR " + std::to_string(message) + "\r\n") &&
           readReply(ReplyKind::Retr, message);
}

bool CPop3Session::uidl() {
    uids_.clear();
    uidlAnswer_ = UidlAnswer::Refused;
    return sendCommand(ReplyKind::Uidl, "UIDL\r\n") && readReply(ReplyKind::Uidl) && !uids_.empty();
}

bool CPop3Session::uidlAndList(UidlAnswer& answer) {
    answer = UidlAnswer::Refused;
    if (!sendAhead(ReplyKind::Uidl))
        return false;
    const bool listSent = canSendAhead() && sendAhead(ReplyKind::List);
    if (listSent)
        sendRunCheck();
    readAhead();
    answer = uidlAnswer_;
    if (!listSent && !sendAhead(ReplyKind::List))
        return false;
    // A proof that went along is read here, so that the next answer is the next command's.
    return readAhead() && (outstanding_.empty() || !outstanding_.front().check || readAhead());
}

bool CPop3Session::dele(int message) {
    const bool ownRun = !run_;
    if (ownRun)
        beginRun();
    const bool accepted = sendAhead(ReplyKind::Dele, message) && readAhead();
    const bool proven = !ownRun || endRun();
    return accepted && proven;
}

bool CPop3Session::rset() {
    if (!sendCommand(ReplyKind::Rset, "RSET\r\n") || !readReply(ReplyKind::Rset))
        return false;
    pendingDeletes_.clear();
    return true;
}

bool CPop3Session::noop() {
    return sendCommand(ReplyKind::Noop, "NOOP\r\n") && readReply(ReplyKind::Noop);
}

bool CPop3Session::quit() {
    // QUIT would commit what a run deleted: the run must be in step first.
    if ((run_ && !endRun()) || !sendCommand(ReplyKind::Quit, "QUIT\r\n")) {
        forgetSession(); // the server never read it
        return false;
    }
    // A reply that fails may already have taken the session's state with the connection.
    const bool deleted = !pendingDeletes_.empty();
    if (!readReply(ReplyKind::Quit)) {
        // The server may have removed some of the messages. Rows by number would name the wrong
        // ones, and keyed rows could be lined up again only by a listing that may not come.
        if (deleted) {
            table_.clearHeaders();
            headersCached_ = 0;
        }
        forgetSession();
        return false;
    }
    for (int message : pendingDeletes_)
        table_.markDeleted(message);
    table_.clearSizes();
    dropConnection();
    return true;
}

bool CPop3Session::fetchSummary(int message) {
    return sendAhead(ReplyKind::Top, message) && readAhead();
}

bool CPop3Session::canSendAhead() const {
    // A TOP or DELE line is well under 32 bytes.
    constexpr std::size_t kLongestLine = 32;
    return outstanding_.empty() || (pipelining_ && outstanding_.size() < kWindowCommands &&
                                    outstandingBytes_ + kLongestLine <= kWindowBytes);
}

bool CPop3Session::sendAhead(ReplyKind kind, int message) {
    std::string line;
    switch (kind) {
    case ReplyKind::Stat:
        line = "STAT\r\n";
        break;
    case ReplyKind::List:
        line = "LIST\r\n";
        break;
    case ReplyKind::Uidl:
        uids_.clear();
        uidlAnswer_ = UidlAnswer::Refused;
        line = "UIDL\r\n";
        break;
    case ReplyKind::Top:
        line = "TOP " + std::to_string(message) + " 0\r\n";
        break;
    case ReplyKind::Dele:
        line = "DELE " + std::to_string(message) + "\r\n";
        break;
    default:
        return false; // no other command comes in runs
    }
    return queueCommand(kind, message, line);
}

bool CPop3Session::readAhead() {
    if (outstanding_.empty())
        return false;
    const SentAhead next = outstanding_.front();
    if (next.check)
        return readRunCheck();
    switch (next.kind) {
    case ReplyKind::Top:
        return readSummary(next.message);
    case ReplyKind::Dele:
        if (!readNext(next.kind))
            return false;
        pendingDeletes_.push_back(next.message);
        return true;
    default:
        return readNext(next.kind);
    }
}

bool CPop3Session::readSummary(int message) {
    const std::string missing = CStringTable::load(StringId::Missing);
    replyText_.clear();
    replyCut_ = false;
    // A refused TOP leaves replyText empty, so all three read "-saknas-". A lost connection
    // is no answer about the message at all: nothing is kept for it.
    if (!readNext(ReplyKind::Top)) {
        replyText_.clear(); // half a header block must not pass for the message's headers
        replyCut_ = false;
        if (!isConnected())
            return false;
    }
    CHeaderDecoder::Summary summary = CHeaderDecoder::summarize(replyText_, missing);
    from_ = std::move(summary.from);
    subject_ = std::move(summary.subject);
    date_ = std::move(summary.date);
    const auto index = static_cast<std::size_t>(message - 1);
    table_.setSummary(message, from_, subject_, date_,
                      message >= 1 && index < uids_.size() ? uids_[index] : std::string{});
    return true;
}

bool CPop3Session::finishOutstanding() {
    while (!outstanding_.empty() && isConnected())
        readAhead();
    replyText_.clear();
    replyCut_ = false;
    return isConnected();
}

bool CPop3Session::queueCommand(ReplyKind kind, int message, const std::string& line) {
    if (!writeCommand(kind, line))
        return false;
    if (run_)
        run_->unproven = true;
    outstanding_.push_back({kind, message, line.size()});
    outstandingBytes_ += line.size();
    return true;
}

void CPop3Session::beginRun() {
    if (!run_)
        run_ = Run{table_, headersCached_};
}

void CPop3Session::sendRunCheck() {
    if (!run_ || !run_->unproven || !pipelining_ || !isConnected() || !canSendAhead())
        return;
    // Written like any command of the run, so that its answer comes after theirs.
    if (queueCommand(ReplyKind::Stat, 0, "STAT\r\n")) {
        outstanding_.back().check = true;
        run_->unproven = false;
    }
}

bool CPop3Session::endRun() {
    if (!run_)
        return isConnected();
    for (;;) {
        sendRunCheck(); // as soon as the window has room for it
        if (outstanding_.empty() || !isConnected())
            break;
        readAhead();
    }
    if (isConnected() && inStep(ReplyKind::Stat)) {
        run_.reset();
        return true;
    }
    // Unless the fault has already done so, the dropped connection takes the run's rows back.
    dropConnection();
    return false;
}

bool CPop3Session::readRunCheck() {
    const SentAhead sent = outstanding_.front();
    outstanding_.pop_front();
    outstandingBytes_ -= sent.bytes;
    idleTicks_ = 0;
    std::string line;
    if (!readStatusLine(ReplyKind::Stat, line))
        return false;
    // Without a count of its own to compare with, only a refusal gives the fault away.
    long long count = 0;
    const bool fits = baseCountKnown_
                          ? parseExactStat(line, count) &&
                                count == baseCount_ - static_cast<long long>(pendingDeletes_.size())
                          : !CReplyParser::isFailure(line);
    if (!fits) {
        outOfStep(ReplyKind::Stat);
        return false;
    }
    return true;
}

bool CPop3Session::inStep(ReplyKind kind) {
    if (pending_.empty() && !socket_->hasArrived())
        return true;
    outOfStep(kind);
    return false;
}

void CPop3Session::outOfStep(ReplyKind kind) {
    fail(kind, StringId::OutOfStep);
    // Without QUIT the server commits nothing of this session.
    dropConnection();
}

bool CPop3Session::readNext(ReplyKind kind) {
    if (outstanding_.empty()) {
        fail(kind, StringId::NotConnected);
        return false;
    }
    const SentAhead sent = outstanding_.front();
    outstanding_.pop_front();
    outstandingBytes_ -= sent.bytes;
    return readReply(sent.kind, sent.message);
}

bool CPop3Session::preview(int message) {
    top(message, previewLines_);
    std::string text = CMessageText::preview(replyText_);
    // Decoded text can be longer than the reply (8-bit text becomes UTF-8); what is shown keeps
    // to the same bound.
    bool cut = replyCut_;
    if (text.size() > ReplyLimits::kKeptTextMax) {
        text.resize(CCharset::cutPoint(text, ReplyLimits::kKeptTextMax));
        cut = true;
    }
    if (cut) {
        if (!text.empty() && text.back() != '\n')
            text += "\r\n";
        text += CStringTable::load(StringId::CutNote);
    }
    if (contentHost_)
        contentHost_->showContent(text);
    return true;
}

bool CPop3Session::sendCommand(ReplyKind kind, const std::string& line) {
    // A single command's answer is the next one only once every run has been answered.
    if (!outstanding_.empty() && !finishOutstanding()) {
        fail(kind, StringId::ConnectionLost);
        return false;
    }
    return writeCommand(kind, line);
}

bool CPop3Session::writeCommand(ReplyKind kind, const std::string& line) {
    waitCut_ = false;
    stoppedByUser_ = false;
    if (!isConnected()) {
        fail(kind, StringId::NotConnected);
        return false;
    }
    // A line break typed into the account or password would let that text issue commands of
    // its own.
    if (line.find_first_of("\r\n") != line.size() - 2) {
        fail(kind, StringId::LineBreakInLogin);
        return false;
    }
    // With no answer due, anything already received is a reply no command asked for: the next
    // answer could not be told from it.
    if (outstanding_.empty() && !inStep(kind))
        return false;
    if (!socket_->send(line)) {
        waitCut_ = socket_->sendStatus() == IoStatus::Cancelled;
        fail(kind, reasonOf(socket_->sendStatus()));
        dropConnection();
        return false;
    }
    return true;
}

bool CPop3Session::receiveChunk(ReplyKind kind, std::size_t max, std::string_view& chunk) {
    if (!isConnected()) {
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
    IoResult r = socket_->receive(receiveArea_.data(), max);
    if (r.status == IoStatus::Ok && r.count > 0) {
        chunk = std::string_view(receiveArea_.data(), r.count);
        return true;
    }
    // Whatever the server sends after this could not be told apart from the next reply.
    waitCut_ = r.status == IoStatus::Cancelled;
    fail(kind, reasonOf(r.status));
    dropConnection();
    return false;
}

bool CPop3Session::readStatusLine(ReplyKind kind, std::string& line) {
    // The status line is taken from larger receives rather than a byte at a time; whatever
    // follows its line end stays for the data block of the same reply. Of an overlong line only
    // the beginning is kept; a line that never ends ends with the receive's deadline.
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
        if (!receiveChunk(kind, kStatusReceive, chunk))
            return false;
        pending_.assign(chunk);
    }
}

bool CPop3Session::readDataBlock(ReplyKind kind, std::size_t max, bool pauseFirst,
                                 const std::function<bool(std::string_view, bool)>& consume) {
    CEndOfData end;
    for (bool first = true; !end.complete(); first = false) {
        // The next receive should be a large one, but nothing waits once it is there or the
        // reply has ended.
        if ((pauseFirst || !first) && pending_.empty() && isConnected()) {
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
        if (!receiveChunk(kind, max, chunk))
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

bool CPop3Session::readReply(ReplyKind kind, int message) {
    if (kind != ReplyKind::Noop)
        idleTicks_ = 0;
    std::string line;
    if (!readStatusLine(kind, line))
        return false;
    if (CReplyParser::isFailure(line)) {
        // The server's own words, in whatever charset it chose, become text here.
        if (kind != ReplyKind::Top)
            errorText_ = prefixOf(kind) + " " + CCharset::fromUnknown(line);
        return false;
    }
    switch (kind) {
    case ReplyKind::Stat: {
        CReplyParser::parseStat(line, messageCount_, mailboxOctets_);
        long long count = 0;
        baseCountKnown_ = parseExactStat(line, count);
        baseCount_ = count + static_cast<long long>(pendingDeletes_.size());
        static_assert(kMessagesMax == 1'000'000, "the text TooManyMessages names the limit");
        if (messageCount_ <= kMessagesMax)
            return true;
        errorText_ = prefixOf(kind) + " " + std::to_string(messageCount_) + " " +
                     CStringTable::load(StringId::TooManyMessages);
        return false;
    }
    case ReplyKind::List: {
        // Taken line by line as the listing arrives, so memory follows the lines that came, and
        // never more of them than STAT counted messages are kept: the rest are read and dropped.
        // Nothing is added from a listing cut short, or from one that lists fewer messages than
        // STAT counted: rows for the others would name messages the server does not have.
        std::string listLine;
        std::vector<double> sizes;
        long long listed = 0;
        const auto room = static_cast<std::size_t>(
            std::clamp(static_cast<long long>(messageCount_) - table_.sizeCount(), 0LL,
                       static_cast<long long>(kMessagesMax)));
        if (!readDataBlock(kind, kListReceive, false, [&](std::string_view bytes, bool) {
                for (std::size_t end; (end = bytes.find('\n')) != std::string_view::npos;) {
                    appendBounded(listLine, bytes.substr(0, end), ReplyLimits::kStatusLineMax);
                    bytes.remove_prefix(end + 1);
                    if (double size = 0; CReplyParser::parseListLine(listLine, size)) {
                        ++listed;
                        if (sizes.size() < room)
                            sizes.push_back(size);
                    }
                    listLine.clear();
                }
                appendBounded(listLine, bytes, ReplyLimits::kStatusLineMax);
                return true;
            }))
            return false;
        if (listed + table_.sizeCount() < messageCount_) {
            errorText_ = prefixOf(kind) + " " + CStringTable::load(StringId::ServerListed) + " " +
                         std::to_string(listed) + " " +
                         CStringTable::load(StringId::MessagesButStatSaid) + " " +
                         std::to_string(messageCount_) + ".";
            return false;
        }
        for (double size : sizes)
            table_.appendSize(size);
        return true;
    }
    case ReplyKind::Uidl: {
        // An answer far longer than the mailbox's ids can take is no usable answer; it is
        // still read to its end so the connection stays in step.
        const std::size_t cap =
            static_cast<std::size_t>(std::max(messageCount_, 0)) * kUidlLineMax + kUidlLineMax;
        std::string data;
        bool tooLong = false;
        if (!readDataBlock(kind, kListReceive, false, [&](std::string_view bytes, bool) {
                tooLong = tooLong || data.size() + bytes.size() > cap;
                if (!tooLong)
                    data.append(bytes);
                return true;
            }))
            return false;
        if (tooLong || !CReplyParser::parseUidl(data, messageCount_, uids_))
            uids_.clear();
        uidsListed_ = true;
        uidlAnswer_ = uids_.empty() ? UidlAnswer::Unusable : UidlAnswer::Keyed;
        return true;
    }
    case ReplyKind::Capa: {
        // Judged as it arrives and kept nowhere, so that no line, however long, can hide a
        // capability behind it.
        CReplyParser::CapabilityScan scan;
        if (!readDataBlock(kind, kListReceive, false, [&](std::string_view bytes, bool) {
                scan.feed(bytes);
                return true;
            }))
            return false;
        pipelining_ = pipeliningAllowed_ && scan.pipelining();
        stlsOffered_ = scan.stls();
        return true;
    }
    case ReplyKind::Top:
        return readDataBlock(kind, kTopReceive, false, [&](std::string_view bytes, bool) {
            if (appendBounded(replyText_, bytes, ReplyLimits::kKeptTextMax))
                replyCut_ = true;
            return true;
        });
    case ReplyKind::Retr:
        return download(message);
    default:
        return true;
    }
}

void CPop3Session::failDownload(const std::string& reason) {
    const std::string text = "Error: " + reason;
    if (messageBoxHost_)
        messageBoxHost_->showMessage(text);
    errorText_ = text;
    // The rest of the message is still on its way; the connection cannot be used again.
    dropConnection();
}

bool CPop3Session::download(int message) {
    CTempFile temp;
    CFile file;
    std::string error;
    if (!temp.create(file, error)) {
        failDownload(error);
        return false;
    }
    const std::string& path = temp.path();

    // Without a listed size (quick login, or a number beyond the listing) there is no total to
    // show, so the download runs without a window.
    const long long size = message >= 1 && message <= table_.sizeCount()
                               ? static_cast<long long>(getMessageSize(message))
                               : 0;
    const bool withWindow = size > kProgressThreshold;
    CProgressThread progress;
    if (withWindow) {
        progress.SetTotal(static_cast<int>(size));
        progress.start(progressHost_);
    }

    long long received = 0;
    bool cancelled = false;
    bool ok = readDataBlock(ReplyKind::Retr, kRetrReceive, true,
                            [&](std::string_view bytes, bool complete) {
                                if (!file.write(bytes)) {
                                    failDownload(path + ": " + file.errorText());
                                    return false;
                                }
                                if (!withWindow)
                                    return true;
                                if (!progress.IsProgressRunning()) {
                                    cancelled = true;
                                    return false;
                                }
                                // Below the total until the end is seen, so the window cannot
                                // close by itself and read as a cancel.
                                received += static_cast<long long>(bytes.size());
                                long long shown = std::min(received, complete ? size : size - 1);
                                progress.SetProgress(static_cast<int>(shown));
                                return true;
                            });
    if (ok) {
        if (withWindow)
            progress.SetProgress(static_cast<int>(size));
        file.close();
        retrieved_ = std::move(temp);
        return true;
    }
    file.close();
    temp.remove();
    if (cancelled) {
        fail(ReplyKind::Retr, StringId::CancelledByUser);
        dropConnection(); // the unread rest of the message would be taken for the next reply
        stoppedByUser_ = true;
    }
    return false;
}
