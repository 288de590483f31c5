#include "pop3/CPop3Session.h"

#include "platform/CSocketFactory.h"
#include "pop3/CHeaderDecoder.h"
#include "pop3/CListingReader.h"
#include "pop3/CPop3Login.h"
#include "pop3/CReplyParser.h"
#include "pop3/ReplyLimits.h"
#include "resources/CStringTable.h"
#include "resources/StringIds.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace {

constexpr std::size_t kTopReceive = 16384;
constexpr std::size_t kRetrReceive = 65535;

} // namespace

CPop3Session::CPop3Session()
    : connection_([this] { forgetSession(); }), ownFactory_(std::make_unique<CSocketFactory>()),
      factory_(ownFactory_.get()) {}

CPop3Session::~CPop3Session() = default;

void CPop3Session::setSocketFactory(ISocketFactory* factory) {
    factory_ = factory ? factory : ownFactory_.get();
}

void CPop3Session::forgetSession() {
    cache_.forgetConnection();
    runUnproven_.reset();
    baseCountKnown_ = false;
    loginStat_ = false;
    pipeline_.clear();
}

int CPop3Session::getMessageSize(int message) const {
    const double size = cache_.table().sizeOf(message);
    return size >= INT_MAX ? INT_MAX : size <= INT_MIN ? INT_MIN : static_cast<int>(size);
}

bool CPop3Session::login() {
    // A connection left from an earlier attempt is closed first, never leaked.
    dropConnection();
    cache_.clearSizes();
    CPop3Login login(connection_, pipeline_, *factory_, tlsMemory_);
    const CPop3Login::Account account{host_, port_, user_, password_, tokens_};
    bool ok = login.run(account, pipeliningAllowed_);
    // A first sign-in in the browser may outlast the server's patience before a login: the
    // connection it closed meanwhile is made once more, and the token, now in memory, goes out
    // at once.
    if (!ok && login.lostAtToken() && !connection_.waitWasCut()) {
        dropConnection();
        ok = login.run(account, pipeliningAllowed_);
    }
    password_.clear();
    tokens_ = nullptr;
    loginStat_ = ok && !pipeline_.idle();
    if (!ok)
        dropConnection(); // a refused login leaves nothing open to the server
    return ok;
}

bool CPop3Session::afterLoginStat() {
    // A refused STAT of the login's says nothing about the next command.
    return settleLoginStat() || isConnected();
}

bool CPop3Session::settleLoginStat() {
    if (!loginStat_)
        return true;
    loginStat_ = false;
    if (pipeline_.idle() || pipeline_.next().kind != ReplyKind::Stat || pipeline_.next().proof)
        return true;
    pipeline_.take();
    return readReply(ReplyKind::Stat);
}

bool CPop3Session::sendCommand(ReplyKind kind, const std::string& line) {
    return afterLoginStat() && pipeline_.writeAlone(connection_, kind, line);
}

bool CPop3Session::stat() {
    if (loginStat_)
        return settleLoginStat();
    return sendCommand(ReplyKind::Stat, "STAT\r\n") && readReply(ReplyKind::Stat);
}

bool CPop3Session::list() {
    return sendCommand(ReplyKind::List, "LIST\r\n") && readReply(ReplyKind::List);
}

bool CPop3Session::top(int message, int lines) {
    replyText_.clear();
    replyCut_ = false;
    const bool ok = sendCommand(ReplyKind::Top, "TOP " + std::to_string(message) + " " +
                                                    std::to_string(lines) + "\r\n") &&
                    readReply(ReplyKind::Top);
    if (!ok) {
        replyText_.clear(); // half a header block must not pass for the message's headers
        replyCut_ = false;
    }
    return ok;
}

bool CPop3Session::retr(int message, MessageSink& sink) {
    replyText_.clear();
    replyCut_ = false;
    std::string line;
    return sendCommand(ReplyKind::Retr, "RETR " + std::to_string(message) + "\r\n") &&
           connection_.readStatus(ReplyKind::Retr, line) && sink.begin() &&
           connection_.readDataBlock(ReplyKind::Retr, kRetrReceive, true,
                                     [&sink](std::string_view bytes, bool complete) {
                                         return sink.take(bytes, complete);
                                     });
}

bool CPop3Session::uidl() {
    cache_.clearUids();
    uidlAnswer_ = UidlAnswer::Refused;
    return sendCommand(ReplyKind::Uidl, "UIDL\r\n") && readReply(ReplyKind::Uidl) &&
           !cache_.uids().empty();
}

bool CPop3Session::uidlAndList(UidlAnswer& answer, int topsUpTo, int& topsSent) {
    answer = UidlAnswer::Refused;
    topsSent = 0;
    if (!afterLoginStat())
        return false;
    connection_.hold(); // the first receive writes them all at once
    if (!sendAhead(ReplyKind::Uidl))
        return false;
    const bool listSent = canSendAhead() && sendAhead(ReplyKind::List);
    if (listSent)
        sendRunCheck();
    // The first headers are asked for behind the listings where the server pipelines.
    while (listSent && topsSent < topsUpTo && canSendAhead() &&
           sendAhead(ReplyKind::Top, topsSent + 1))
        ++topsSent;
    readAnswer();
    answer = uidlAnswer_;
    if (!listSent && !sendAhead(ReplyKind::List))
        return false;
    // A proof that went along is read here, so that the next answer is the next command's.
    return readAnswer() && (pipeline_.idle() || !pipeline_.next().proof || readAnswer());
}

bool CPop3Session::dele(int message) {
    if (!afterLoginStat() || !pipeline_.idle())
        return false;
    const bool ownRun = !runUnproven_;
    if (ownRun)
        beginRun();
    const bool accepted = sendAhead(ReplyKind::Dele, message) && readAnswer();
    const bool proven = !ownRun || endRun();
    return accepted && proven;
}

bool CPop3Session::rset() {
    if (!sendCommand(ReplyKind::Rset, "RSET\r\n") || !readReply(ReplyKind::Rset))
        return false;
    cache_.takeBackDeletions();
    return true;
}

bool CPop3Session::noop() {
    return sendCommand(ReplyKind::Noop, "NOOP\r\n") && readReply(ReplyKind::Noop);
}

bool CPop3Session::quit() {
    // QUIT would commit what a run deleted: the run must be in step first, and every answer
    // still on its way read.
    bool ready = !runUnproven_ || endRun();
    if (ready && !pipeline_.idle() && !finishOutstanding()) {
        connection_.fail(ReplyKind::Quit, StringId::ConnectionLost);
        ready = false;
    }
    if (!ready || !sendCommand(ReplyKind::Quit, "QUIT\r\n")) {
        forgetSession(); // the server never read it
        return false;
    }
    // A reply that fails may already have taken the session's state with the connection.
    const bool deleted = cache_.pendingDeletions() > 0;
    if (!readReply(ReplyKind::Quit)) {
        if (deleted)
            cache_.quitUnanswered();
        forgetSession();
        return false;
    }
    cache_.commitDeletions();
    dropConnection();
    return true;
}

bool CPop3Session::fetchSummary(int message) {
    return afterLoginStat() && pipeline_.idle() && sendAhead(ReplyKind::Top, message) &&
           readAnswer();
}

bool CPop3Session::sendAhead(ReplyKind kind, int message) {
    const std::string number = std::to_string(message);
    switch (kind) {
    case ReplyKind::Stat:
        return queueCommand({kind}, "STAT\r\n");
    case ReplyKind::List:
        return queueCommand({kind}, "LIST\r\n");
    case ReplyKind::Uidl:
        cache_.clearUids();
        uidlAnswer_ = UidlAnswer::Refused;
        return queueCommand({kind}, "UIDL\r\n");
    case ReplyKind::Top:
        return queueCommand(
            {kind, message, 0, false,
             message <= cache_.table().sizeCount() ? cache_.table().sizeOf(message) : -1},
            "TOP " + number + " 0\r\n");
    case ReplyKind::Dele:
        return queueCommand({kind, message}, "DELE " + number + "\r\n");
    default:
        return false; // no other command comes in runs
    }
}

bool CPop3Session::queueCommand(const CPop3Pipeline::Command& command, const std::string& line) {
    if (command.kind != ReplyKind::Stat && !afterLoginStat())
        return false;
    if (!pipeline_.write(connection_, command, line))
        return false;
    if (runUnproven_)
        *runUnproven_ = true;
    return true;
}

bool CPop3Session::readAnswer() {
    if (pipeline_.idle())
        return false;
    loginStat_ = false; // the login's STAT, if there was one, is read here like any other
    const CPop3Pipeline::Command next = pipeline_.next();
    if (next.proof)
        return readRunCheck();
    if (next.kind == ReplyKind::Top)
        return readSummary(next.message);
    pipeline_.take();
    if (!readReply(next.kind))
        return false;
    if (next.kind == ReplyKind::Dele)
        cache_.noteDeleted(next.message);
    return true;
}

bool CPop3Session::readSummary(int message) {
    pipeline_.take();
    const std::string missing = CStringTable::load(StringId::Missing);
    replyText_.clear();
    replyCut_ = false;
    // A refused TOP leaves replyText empty, so all three read "-saknas-". A lost connection
    // is no answer about the message at all: nothing is kept for it.
    if (!readReply(ReplyKind::Top)) {
        replyText_.clear(); // half a header block must not pass for the message's headers
        replyCut_ = false;
        if (!isConnected())
            return false;
    }
    pipeline_.noteHeaderBlock(replyText_.size());
    CHeaderDecoder::Summary summary = CHeaderDecoder::summarize(replyText_, missing);
    from_ = std::move(summary.from);
    subject_ = std::move(summary.subject);
    date_ = std::move(summary.date);
    cache_.keepSummary(message, from_, subject_, date_);
    return true;
}

bool CPop3Session::finishOutstanding() {
    while (!pipeline_.idle() && isConnected())
        readAnswer();
    replyText_.clear();
    replyCut_ = false;
    return isConnected();
}

void CPop3Session::beginRun() {
    if (runUnproven_)
        return;
    runUnproven_ = false;
    cache_.beginProvisional();
}

void CPop3Session::sendRunCheck() {
    if (!runUnproven_ || !*runUnproven_ || !pipeline_.pipelining() || !isConnected() ||
        !canSendAhead())
        return;
    // Written like any command of the run, so that its answer comes after theirs.
    if (pipeline_.write(connection_, {ReplyKind::Stat, 0, 0, true}, "STAT\r\n"))
        *runUnproven_ = false;
}

bool CPop3Session::endRun() {
    if (!runUnproven_)
        return isConnected();
    for (;;) {
        sendRunCheck(); // as soon as the window has room for it
        if (pipeline_.idle() || !isConnected())
            break;
        readAnswer();
    }
    if (isConnected() && connection_.inStep(ReplyKind::Stat)) {
        runUnproven_.reset();
        cache_.keepProvisional();
        return true;
    }
    // Unless the fault has already done so, the dropped connection takes the run's rows back.
    dropConnection();
    return false;
}

bool CPop3Session::readRunCheck() {
    pipeline_.take();
    std::string line;
    if (!connection_.readStatusLine(ReplyKind::Stat, line))
        return false;
    // Without a count of its own to compare with, only a refusal gives the fault away. With
    // one, only the standard's shape of an answer passes, so that no other reply can pass for
    // the proof.
    long long count = 0;
    const bool fits =
        baseCountKnown_
            ? CReplyParser::parseExactStat(line, count) &&
                  count == baseCount_ - static_cast<long long>(cache_.pendingDeletions())
            : !CReplyParser::isFailure(line);
    if (fits)
        return true;
    connection_.fail(ReplyKind::Stat, StringId::OutOfStep);
    // Without QUIT the server commits nothing of this session.
    dropConnection();
    return false;
}

bool CPop3Session::readReply(ReplyKind kind) {
    std::string line;
    if (!connection_.readStatus(kind, line))
        return false;
    switch (kind) {
    case ReplyKind::Stat: {
        CReplyParser::parseStat(line, messageCount_, mailboxOctets_);
        long long count = 0;
        baseCountKnown_ = CReplyParser::parseExactStat(line, count);
        baseCount_ = count + static_cast<long long>(cache_.pendingDeletions());
        static_assert(kMessagesMax == 1'000'000, "the text TooManyMessages names the limit");
        if (messageCount_ <= kMessagesMax)
            return true;
        connection_.fail(kind, std::to_string(messageCount_) + " " +
                                   CStringTable::load(StringId::TooManyMessages));
        return false;
    }
    case ReplyKind::List:
        return CListingReader::readSizes(connection_, cache_.table(), messageCount_, kMessagesMax);
    case ReplyKind::Uidl:
        return CListingReader::readIds(connection_, cache_, messageCount_, uidlAnswer_);
    case ReplyKind::Top:
        return readTop();
    default:
        return true;
    }
}

bool CPop3Session::readTop() {
    return connection_.readDataBlock(
        ReplyKind::Top, kTopReceive, false, [this](std::string_view bytes, bool) {
            const std::size_t room =
                ReplyLimits::kKeptTextMax - std::min(replyText_.size(), ReplyLimits::kKeptTextMax);
            replyText_.append(bytes.substr(0, room));
            replyCut_ = replyCut_ || bytes.size() > room;
            return true;
        });
}
