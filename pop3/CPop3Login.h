#pragma once

#include "platform/IAccessTokens.h"
#include "pop3/ReplyKind.h"

#include <string>

class CPop3Connection;
class CPop3Pipeline;
class CTlsMemory;
class ISocketFactory;

// Signs in to a POP3 server: connects, reads the greeting, asks what the server can do (CAPA),
// starts TLS where it offers STLS (a server that offered it once and does not now gets nothing
// more), and proves who the user is. The proof is authenticate(): today USER and PASS with the
// password, written together where the server pipelines; another mechanism takes its place
// there. Neither account nor secret goes out after a failed TLS start. An account that signs in
// with OAuth 2.0 proves itself with an access token instead (SASL OAUTHBEARER where the server
// lists it, else XOAUTH2), and only under TLS.
class CPop3Login {
public:
    struct Account {
        std::string host;
        int port = 110;
        std::string user;
        const CSecret& secret;
        // Set: the account signs in with an access token from here, not with secret.
        IAccessTokens* tokens = nullptr;
    };

    // All must outlive the login; memory may be null (nothing is remembered).
    CPop3Login(CPop3Connection& connection, CPop3Pipeline& pipeline, ISocketFactory& factory,
               CTlsMemory* memory)
        : connection_(connection), pipeline_(pipeline), factory_(factory), memory_(memory) {}

    // On every port but 995 CAPA comes right after the greeting; on 995, where TLS starts with
    // the first byte, it follows PASS, and only where pipelining is allowed. False with the
    // reason in the connection's error text; the connection is then left for the caller to close.
    bool run(const Account& account, bool pipeliningAllowed);
    // The last run lost its connection when its access token was sent (not refused by the
    // server): the server may have given up while the user signed in.
    bool lostAtToken() const { return lostAtToken_; }

private:
    bool capa(bool pipeliningAllowed);
    // STLS, and TLS on the connection; false with the TLS text when it could not start.
    bool startTls(const Account& account, bool pipeliningAllowed);
    // Remembers a server that listed STLS; false, with the reason, for one that listed it
    // before and did not now.
    bool tlsAsBefore(const Account& account);
    bool authenticate(const Account& account);
    // The login with an access token, asked for right before it is sent; a token the server
    // refuses is renewed once. False without TLS, and then no token is asked for or written.
    bool authenticateWithToken(const Account& account, bool pipeliningAllowed);
    // One AUTH with the token; Refused: the server said no (the connection still open), with
    // its reason in the connection's error text.
    using TokenTry = IAccessTokens::TokenTry;
    TokenTry tokenAuth(const Account& account, const CSecret& token);
    // A command whose answer is its status line, read at once.
    bool command(ReplyKind kind, const std::string& line);
    bool answered(ReplyKind kind);
    // Reads the answers still on their way and drops them.
    void drain();

    CPop3Connection& connection_;
    CPop3Pipeline& pipeline_;
    ISocketFactory& factory_;
    CTlsMemory* memory_;
    bool stlsOffered_ = false; // the last CAPA listed STLS
    bool tlsOn_ = false;       // the connection runs under TLS
    bool oauthBearer_ = false; // the last CAPA's SASL line listed OAUTHBEARER
    bool lostAtToken_ = false;
};
