#pragma once

#include "platform/IAccessTokens.h"

#include <string>
#include <string_view>

class CSmtpChannel;
class CSmtpLogin;
class CSmtpReply;
class CTlsMemory;
class ISocketFactory;

// What comes before the envelope on an open SMTP connection: the greeting, and the client making
// itself known. Plain SMTP says HELO. With extensions (ports 587 and 465) it says EHLO, starts
// TLS where the server offers STARTTLS (a server that offered it before and does not now gets
// nothing more), says EHLO again, and logs in with a mechanism the server's AUTH line lists. The
// secret goes out only under TLS. A mechanism is one case of Mechanism, chosen from the offer and
// spoken by authenticate(); an account that signs in with OAuth 2.0 gives an access token
// (XOAUTH2, else OAUTHBEARER), renewed once when the server refuses it.
class CSmtpNegotiation {
public:
    // All must outlive the negotiation; memory may be null (nothing is remembered), login too
    // (no login is tried).
    CSmtpNegotiation(CSmtpChannel& channel, ISocketFactory& factory, CTlsMemory* memory,
                     const CSmtpLogin* login)
        : channel_(channel), factory_(factory), memory_(memory), login_(login) {}

    // False with the reason in the channel's status text, the connection closed.
    bool run(bool extensions, int port, const std::string& heloName);

private:
    enum class Mechanism { None, Plain, Login, XOAuth2, OAuthBearer };

    bool greet(bool extensions);
    bool ehlo(CSmtpReply& offer, const std::string& heloName);
    bool startTls();
    // Remembers a server that offered STARTTLS; false, with the reason, for one that offered it
    // before and did not now.
    bool tlsAsBefore(bool offered, int port);
    // The login where the offer allows it; true without one when there is nothing to log in
    // with or the server lists no mechanism the program speaks.
    bool logIn(const CSmtpReply& offer, int port);
    static Mechanism choose(const CSmtpReply& offer, bool token);
    bool authenticate(Mechanism mechanism);
    bool authenticateWithToken(Mechanism mechanism, int port);
    // One AUTH with the token; Refused: the server turned the token down (535).
    using TokenTry = IAccessTokens::TokenTry;
    TokenTry tokenAuth(Mechanism mechanism, int port, std::string_view token);
    // Sends a line of the login (wiped afterwards) and wants a reply beginning with code.
    bool authStep(std::string line, std::string_view code);

    CSmtpChannel& channel_;
    ISocketFactory& factory_;
    CTlsMemory* memory_;
    const CSmtpLogin* login_;
};
