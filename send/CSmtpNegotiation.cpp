#include "send/CSmtpNegotiation.h"

#include "platform/CConnectFailureText.h"
#include "platform/COAuthSasl.h"
#include "platform/CSecret.h"
#include "platform/CTlsMemory.h"
#include "platform/IAccessTokens.h"
#include "pop3/CCharset.h"
#include "resources/CStringTable.h"
#include "send/CSmtpChannel.h"
#include "send/CSmtpLogin.h"
#include "send/CSmtpReply.h"

#include <algorithm>

namespace {

bool codeIs(const CSmtpReply& reply, std::string_view code) {
    return CCharset::startsWithIgnoringCase(reply.text(), code);
}

} // namespace

bool CSmtpNegotiation::run(bool extensions, int port, const std::string& heloName) {
    if (!greet(extensions))
        return false;
    if (!extensions)
        return channel_.send(SmtpStep::Helo, "HELO " + heloName + "\r\n") &&
               channel_.expect(SmtpStep::Helo, "250");
    CSmtpReply offer;
    if (!ehlo(offer, heloName))
        return false;
    // TLS first where offered; what the server listed in clear counts for nothing afterwards.
    if (!channel_.secure() && (!tlsAsBefore(offer.offersStartTls(), port) ||
                               (offer.offersStartTls() && (!startTls() || !ehlo(offer, heloName)))))
        return false;
    return logIn(offer, port);
}

bool CSmtpNegotiation::greet(bool extensions) {
    // Before EHLO the whole greeting is read, so that none of its lines is taken for the reply
    // to EHLO; plain SMTP takes what the first receive gives.
    CSmtpReply greeting(extensions ? CSmtpReply::Extent::Whole : CSmtpReply::Extent::OneReceive);
    if (!channel_.read(SmtpStep::Greeting, greeting))
        return false;
    if (codeIs(greeting, "220"))
        return true;
    channel_.setStatus(StringId::GreetingRefused);
    return false;
}

bool CSmtpNegotiation::tlsAsBefore(bool offered, int port) {
    if (!memory_)
        return true;
    if (offered) {
        memory_->remember(CTlsMemory::Offer::StartTls, channel_.server(), port);
        return true;
    }
    if (!memory_->offeredBefore(CTlsMemory::Offer::StartTls, channel_.server(), port))
        return true;
    channel_.setStatus(CStringTable::load(StringId::CannotConnect) + " " +
                       CStringTable::load(StringId::StartTlsWithdrawn));
    channel_.close();
    return false;
}

bool CSmtpNegotiation::ehlo(CSmtpReply& offer, const std::string& heloName) {
    offer = CSmtpReply{};
    if (!channel_.send(SmtpStep::Ehlo, "EHLO " + heloName + "\r\n") ||
        !channel_.read(SmtpStep::Ehlo, offer))
        return false;
    if (codeIs(offer, "250"))
        return true;
    channel_.refuse(SmtpStep::Ehlo, offer.text());
    return false;
}

bool CSmtpNegotiation::startTls() {
    CSmtpReply reply;
    if (!channel_.send(SmtpStep::StartTls, "STARTTLS\r\n") ||
        !channel_.read(SmtpStep::StartTls, reply))
        return false;
    const bool refused = !codeIs(reply, "220");
    // Bytes after the go-ahead would be read as if TLS had protected them.
    if (refused || reply.hasTrailing()) {
        std::string status = CConnectFailureText::of(ConnectFailure::HandshakeFailed);
        if (refused)
            status += " " + CStringTable::load(StringId::StartTlsLabel) + " " + reply.text();
        channel_.setStatus(std::move(status));
        channel_.close();
        return false;
    }
    return channel_.startTls(factory_);
}

CSmtpNegotiation::Mechanism CSmtpNegotiation::choose(const CSmtpReply& offer, bool token) {
    // XOAUTH2 first: it is what the large providers take.
    if (token)
        return offer.listsAuth("XOAUTH2")       ? Mechanism::XOAuth2
               : offer.listsAuth("OAUTHBEARER") ? Mechanism::OAuthBearer
                                                : Mechanism::None;
    if (offer.listsAuth("PLAIN"))
        return Mechanism::Plain;
    return offer.listsAuth("LOGIN") ? Mechanism::Login : Mechanism::None;
}

bool CSmtpNegotiation::logIn(const CSmtpReply& offer, int port) {
    if (!login_ || login_->empty())
        return true;
    const bool token = login_->tokens() != nullptr;
    const Mechanism mechanism = choose(offer, token);
    // A server that offers no mechanism the program speaks says at MAIL FROM whether it wants a
    // login.
    if (mechanism == Mechanism::None)
        return true;
    if (!channel_.secure()) {
        channel_.setStatus(
            channel_.server() + ": " + CStringTable::load(StringId::AuthLabel) + " " +
            CStringTable::load(token ? StringId::TokenNeedsTls : StringId::PasswordNeedsTls));
        channel_.close();
        return false;
    }
    return token ? authenticateWithToken(mechanism, port) : authenticate(mechanism);
}

bool CSmtpNegotiation::authenticate(Mechanism mechanism) {
    const std::string& account = login_->account();
    const std::string_view secret = login_->secret().view();
    switch (mechanism) {
    case Mechanism::Login:
        return authStep("AUTH LOGIN\r\n", "334") &&
               authStep(COAuthSasl::encodedLine("", account), "334") &&
               authStep(COAuthSasl::encodedLine("", secret), "235");
    case Mechanism::Plain: {
        std::string credentials;
        credentials.reserve(account.size() + secret.size() + 2);
        credentials.append(1, '\0').append(account).append(1, '\0').append(secret);
        std::string line = COAuthSasl::encodedLine("AUTH PLAIN ", credentials);
        CSecret::wipe(credentials);
        return authStep(std::move(line), "235");
    }
    case Mechanism::XOAuth2:
    case Mechanism::OAuthBearer:
    case Mechanism::None:
        break;
    }
    return true;
}

bool CSmtpNegotiation::authenticateWithToken(Mechanism mechanism, int port) {
    IAccessTokens& tokens = *login_->tokens();
    const std::string& account = login_->account();
    std::string error;
    const TokenTry result = tokens.tryToken(
        channel_.server(), account,
        [&](const CSecret& token) {
            const TokenTry one = tokenAuth(mechanism, port, token.view());
            // A renewed token needs the connection the refusal left open.
            return one == TokenTry::Refused && !channel_.isOpen() ? TokenTry::Failed : one;
        },
        error);
    if (!error.empty()) {
        channel_.setStatus(std::move(error));
        channel_.close();
    }
    return result == TokenTry::Taken;
}

CSmtpNegotiation::TokenTry CSmtpNegotiation::tokenAuth(Mechanism mechanism, int port,
                                                       std::string_view token) {
    std::string line = COAuthSasl::authCommand(mechanism == Mechanism::OAuthBearer,
                                               login_->account(), channel_.server(), port, token);
    if (line.empty()) { // a control character in the account or the token
        channel_.fail(SmtpStep::Auth, StringId::LineBreakInLogin);
        return TokenTry::Failed;
    }
    const bool sent = channel_.send(SmtpStep::Auth, line);
    CSecret::wipe(line);
    CSmtpReply reply;
    if (!sent || !channel_.read(SmtpStep::Auth, reply))
        return TokenTry::Failed;
    if (codeIs(reply, "235"))
        return TokenTry::Taken;
    // A challenge carries the reason of a refused token; the empty answer ends the exchange, and
    // the server's refusal follows.
    std::string reason;
    if (codeIs(reply, "334")) {
        std::string_view challenge = reply.text();
        challenge.remove_prefix(std::min<std::size_t>(4, challenge.size()));
        reason = COAuthSasl::challengeText(challenge);
        reply = CSmtpReply{};
        if (!channel_.send(SmtpStep::Auth, "\r\n") || !channel_.read(SmtpStep::Auth, reply))
            return TokenTry::Failed;
    }
    const bool refused = codeIs(reply, "535");
    std::string text(reply.text());
    if (!reason.empty()) {
        while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
            text.pop_back();
        text += " " + reason + "\r\n";
    }
    channel_.refuse(SmtpStep::Auth, text);
    return refused ? TokenTry::Refused : TokenTry::Failed;
}

bool CSmtpNegotiation::authStep(std::string line, std::string_view code) {
    const bool sent = channel_.send(SmtpStep::Auth, line);
    CSecret::wipe(line);
    CSmtpReply reply;
    if (!sent || !channel_.read(SmtpStep::Auth, reply))
        return false;
    if (codeIs(reply, code))
        return true;
    channel_.refuse(SmtpStep::Auth, reply.text());
    return false;
}
