#include "pop3/CPop3Login.h"

#include "platform/CConnectFailureText.h"
#include "platform/COAuthSasl.h"
#include "platform/CSecret.h"
#include "platform/CTlsMemory.h"
#include "platform/IAccessTokens.h"
#include "pop3/CCharset.h"
#include "pop3/CPop3Connection.h"
#include "pop3/CPop3Pipeline.h"
#include "pop3/CReplyParser.h"
#include "resources/CStringTable.h"

namespace {

constexpr int kTlsPort = 995;
constexpr std::size_t kCapaReceive = 8192;

} // namespace

bool CPop3Login::run(const Account& account, bool pipeliningAllowed) {
    stlsOffered_ = false;
    oauthBearer_ = false;
    lostAtToken_ = false;
    tlsOn_ = account.port == kTlsPort;
    // POP3 over TLS has its own port, where TLS starts with the first byte.
    if (!connection_.open(factory_, account.host, account.port,
                          account.port == kTlsPort ? StreamSecurity::Tls : StreamSecurity::Plain))
        return false;
    bool ok = answered(ReplyKind::Greeting);
    if (!ok && connection_.isOpen())
        connection_.setErrorText(CStringTable::load(StringId::GreetingRefused));
    // What the server can do is asked before the account is named, except where TLS from the
    // first byte makes the server of port 995 a different one until the login; a server that
    // cannot say gets USER and PASS as they are, one command at a time.
    const bool askFirst = account.port != kTlsPort;
    ok = ok && (!askFirst || capa(pipeliningAllowed));
    ok = ok && (!askFirst || tlsAsBefore(account));
    ok = ok && (!stlsOffered_ || startTls(account, pipeliningAllowed));
    if (account.tokens)
        return ok && authenticateWithToken(account, pipeliningAllowed);
    ok = ok && authenticate(account);
    return ok && (!pipeliningAllowed || askFirst || capa(pipeliningAllowed));
}

bool CPop3Login::answered(ReplyKind kind) {
    std::string line;
    return connection_.readStatus(kind, line);
}

bool CPop3Login::command(ReplyKind kind, const std::string& line) {
    return pipeline_.writeAlone(connection_, kind, line) && answered(kind);
}

bool CPop3Login::capa(bool pipeliningAllowed) {
    pipeline_.setPipelining(false);
    stlsOffered_ = false;
    if (!pipeline_.writeAlone(connection_, ReplyKind::Capa, "CAPA\r\n"))
        return false;
    // A server that refuses CAPA can do nothing more than plain POP3.
    if (!answered(ReplyKind::Capa))
        return connection_.isOpen();
    // Judged as it arrives and kept nowhere, so that no line, however long, can hide a
    // capability behind it.
    CReplyParser::CapabilityScan scan;
    if (!connection_.readDataBlock(ReplyKind::Capa, kCapaReceive, false,
                                   [&scan](std::string_view bytes, bool) {
                                       scan.feed(bytes);
                                       return true;
                                   }))
        return false;
    pipeline_.setPipelining(pipeliningAllowed && scan.pipelining());
    stlsOffered_ = scan.stls();
    oauthBearer_ = scan.oauthBearer();
    return true;
}

bool CPop3Login::tlsAsBefore(const Account& account) {
    if (!memory_)
        return true;
    if (stlsOffered_) {
        memory_->remember(CTlsMemory::Offer::Stls, account.host, account.port);
        return true;
    }
    if (!memory_->offeredBefore(CTlsMemory::Offer::Stls, account.host, account.port))
        return true;
    connection_.setErrorText(CStringTable::load(StringId::CannotConnect) + " " +
                             CStringTable::load(StringId::StlsWithdrawn));
    return false;
}

bool CPop3Login::startTls(const Account& account, bool pipeliningAllowed) {
    stlsOffered_ = false;
    if (!pipeline_.writeAlone(connection_, ReplyKind::Stls, "STLS\r\n"))
        return false;
    const std::string refused = CConnectFailureText::of(ConnectFailure::HandshakeFailed);
    if (!answered(ReplyKind::Stls)) {
        if (connection_.isOpen()) // the server's line after "STLS:"
            connection_.setErrorText(refused + " " + connection_.errorText());
        return false;
    }
    // Bytes after the go-ahead would be read as if TLS had protected them.
    if (connection_.hasUnread()) {
        connection_.setErrorText(refused);
        return false;
    }
    // What the server listed in clear counts for nothing now.
    if (!connection_.startTls(factory_, account.host, account.port))
        return false;
    tlsOn_ = true;
    return capa(pipeliningAllowed);
}

bool CPop3Login::authenticate(const Account& account) {
    const std::string user = "USER " + account.user + "\r\n";
    std::string pass = "PASS ";
    pass.append(account.secret.view()).append("\r\n");
    bool ok = false;
    if (!pipeline_.pipelining()) {
        ok = command(ReplyKind::User, user) &&
             pipeline_.writeAlone(connection_, ReplyKind::Pass, pass);
        CSecret::wipe(pass);
        return ok && answered(ReplyKind::Pass);
    }
    // USER, PASS and STAT in one write: the answer to PASS is then read within a round trip,
    // whatever the server's timing of its acknowledgements, and STAT's answer waits for the
    // session. A refused login makes STAT fail harmlessly; the reason stays USER's or PASS's.
    connection_.hold();
    ok = pipeline_.write(connection_, {ReplyKind::User}, user) &&
         pipeline_.write(connection_, {ReplyKind::Pass}, pass) &&
         pipeline_.write(connection_, {ReplyKind::Stat, 0, 0, false, 32}, "STAT\r\n") &&
         connection_.release(ReplyKind::User);
    CSecret::wipe(pass);
    if (!ok)
        return false;
    for (const ReplyKind kind : {ReplyKind::User, ReplyKind::Pass}) {
        pipeline_.take();
        if (!answered(kind)) {
            const std::string reason = connection_.errorText();
            drain();
            connection_.setErrorText(reason);
            return false;
        }
    }
    return true;
}

void CPop3Login::drain() {
    while (!pipeline_.idle() && connection_.isOpen()) {
        const CPop3Pipeline::Command command = pipeline_.take();
        answered(command.kind);
    }
}

bool CPop3Login::authenticateWithToken(const Account& account, bool pipeliningAllowed) {
    if (!tlsOn_) {
        connection_.fail(ReplyKind::Auth, StringId::TokenNeedsTls);
        return false;
    }
    // On port 995 the mechanisms are asked now: under TLS from the first byte, before the login.
    if (account.port == kTlsPort && !capa(pipeliningAllowed))
        return false;
    std::string error;
    const TokenTry result = account.tokens->tryToken(
        account.host, account.user, [&](const CSecret& token) { return tokenAuth(account, token); },
        error);
    if (!error.empty())
        connection_.setErrorText(error);
    // Not refused but gone: a server that gave up while the user signed in.
    lostAtToken_ = result == TokenTry::Failed && error.empty() && !connection_.isOpen();
    return result == TokenTry::Taken;
}

CPop3Login::TokenTry CPop3Login::tokenAuth(const Account& account, const CSecret& token) {
    std::string line = COAuthSasl::authCommand(oauthBearer_, account.user, account.host,
                                               account.port, token.view());
    if (line.empty()) { // a control character in the account or the token
        connection_.fail(ReplyKind::Auth, StringId::LineBreakInLogin);
        return TokenTry::Failed;
    }
    const bool sent = pipeline_.writeAlone(connection_, ReplyKind::Auth, line);
    CSecret::wipe(line);
    std::string reply;
    if (!sent || !connection_.readStatusLine(ReplyKind::Auth, reply))
        return TokenTry::Failed;
    // A challenge carries the reason of a refused token; the empty answer ends the exchange, and
    // the server's refusal follows.
    std::string reason;
    if (!reply.empty() && reply[0] == '+' && reply.rfind("+OK", 0) != 0) {
        std::string_view challenge = std::string_view(reply).substr(1);
        if (!challenge.empty() && challenge.front() == ' ')
            challenge.remove_prefix(1);
        reason = COAuthSasl::challengeText(challenge);
        if (!pipeline_.writeAlone(connection_, ReplyKind::Auth, "\r\n") ||
            !connection_.readStatusLine(ReplyKind::Auth, reply))
            return TokenTry::Failed;
    }
    if (reply.rfind("+OK", 0) == 0)
        return TokenTry::Taken;
    const bool refused = CReplyParser::isFailure(reply);
    while (!reply.empty() && (reply.back() == '\r' || reply.back() == '\n'))
        reply.pop_back();
    connection_.fail(ReplyKind::Auth,
                     CCharset::fromUnknown(reply) +
                         (reason.empty() ? "" : " " + CCharset::fromUnknown(reason)));
    return refused ? TokenTry::Refused : TokenTry::Failed;
}
