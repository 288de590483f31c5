#pragma once

#include <string>
#include <string_view>

// The SASL messages that carry an OAuth 2.0 access token to a mail server, each as the base64
// text that follows "AUTH XOAUTH2 " or "AUTH OAUTHBEARER " (or answers the server's empty
// challenge), and the lines of a SASL login in base64, a password's too. The token is a secret:
// the caller wipes what it is given back once it is sent.
class COAuthSasl {
public:
    // XOAUTH2: "user=" account, ^A, "auth=Bearer " token, ^A ^A. Empty when the account or the
    // token holds a control character, which would end a field early.
    static std::string xoauth2(std::string_view account, std::string_view token);
    // OAUTHBEARER (RFC 7628): the GS2 header "n,a=" account "," (with "," and "=" of the account
    // written =2C and =3D), then ^A "host=" host ^A "port=" port ^A "auth=Bearer " token ^A ^A.
    // Empty as above.
    static std::string oauthBearer(std::string_view account, std::string_view host, int port,
                                   std::string_view token);
    // A server's refusal of the token in a challenge (base64 of a JSON text such as
    // {"status":"401","schemes":"bearer"}): the decoded text, with its control characters as
    // blanks, for the status line; empty when the challenge is no base64.
    static std::string challengeText(std::string_view base64);
    // A line of a SASL login: prefix, the bytes in base64, CR LF, built in room sized once so
    // that no copy of a secret among the bytes is left in memory given back.
    static std::string encodedLine(std::string_view prefix, std::string_view bytes);
    // The command "AUTH OAUTHBEARER <message>" (bearer) or "AUTH XOAUTH2 <message>" with its
    // CR LF, built as encodedLine builds it. Empty as above.
    static std::string authCommand(bool bearer, std::string_view account, std::string_view host,
                                   int port, std::string_view token);
};
