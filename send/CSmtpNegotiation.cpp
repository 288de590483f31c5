#include "send/CSmtpNegotiation.h"

#include "platform/CConnectFailureText.h"
#include "platform/CSecret.h"
#include "platform/CTlsMemory.h"
#include "pop3/CCharset.h"
#include "resources/CStringTable.h"
#include "send/CSmtpChannel.h"
#include "send/CSmtpLogin.h"
#include "send/CSmtpReply.h"

#include <openssl/evp.h>

#include <algorithm>

namespace {

// prefix, the bytes in base64 and CR LF: a line of the login, built in place so that no copy of
// the secret is left behind in memory that was given back.
std::string encodedLine(std::string_view prefix, std::string_view bytes) {
    std::string line(prefix.size() + 4 * ((bytes.size() + 2) / 3) + 3, '\0');
    std::copy(prefix.begin(), prefix.end(), line.begin());
    const int length = EVP_EncodeBlock(
        reinterpret_cast<unsigned char*>(line.data() + prefix.size()),
        reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    line.resize(prefix.size() + static_cast<std::size_t>(std::max(length, 0)));
    line += "\r\n";
    return line;
}

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
    return logIn(offer);
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

CSmtpNegotiation::Mechanism CSmtpNegotiation::choose(const CSmtpReply& offer) {
    if (offer.listsAuth("PLAIN"))
        return Mechanism::Plain;
    return offer.listsAuth("LOGIN") ? Mechanism::Login : Mechanism::None;
}

bool CSmtpNegotiation::logIn(const CSmtpReply& offer) {
    if (!login_ || login_->empty())
        return true;
    const Mechanism mechanism = choose(offer);
    // A server that offers no mechanism the program speaks says at MAIL FROM whether it wants a
    // login.
    if (mechanism == Mechanism::None)
        return true;
    if (!channel_.secure()) {
        channel_.setStatus(channel_.server() + ": " + CStringTable::load(StringId::AuthLabel) +
                           " " + CStringTable::load(StringId::PasswordNeedsTls));
        channel_.close();
        return false;
    }
    return authenticate(mechanism);
}

bool CSmtpNegotiation::authenticate(Mechanism mechanism) {
    const std::string& account = login_->account();
    const std::string_view secret = login_->secret().view();
    switch (mechanism) {
    case Mechanism::Login:
        return authStep("AUTH LOGIN\r\n", "334") && authStep(encodedLine("", account), "334") &&
               authStep(encodedLine("", secret), "235");
    case Mechanism::Plain: {
        std::string credentials;
        credentials.reserve(account.size() + secret.size() + 2);
        credentials.append(1, '\0').append(account).append(1, '\0').append(secret);
        std::string line = encodedLine("AUTH PLAIN ", credentials);
        CSecret::wipe(credentials);
        return authStep(std::move(line), "235");
    }
    case Mechanism::None:
        break;
    }
    return true;
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
