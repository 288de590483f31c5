#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

class ISettingsStore;

// Who signs an account in where the server takes an OAuth 2.0 access token instead of a
// password: Microsoft's and Google's mail servers are built in (their addresses and scopes; the
// client id is the user's own registration), and the settings file may name more providers or
// change any value of the built-in ones:
//
//   OAuthProviders = names of the entries, separated by blanks (microsoft and google need none)
//   OAuth.<name>.Servers          POP3 and SMTP host names, separated by blanks
//   OAuth.<name>.AuthorizationUrl the provider's authorization endpoint
//   OAuth.<name>.TokenUrl         its token endpoint
//   OAuth.<name>.Scopes           the scopes to ask for, separated by blanks
//   OAuth.<name>.ClientId         the program's registration with the provider
//   OAuth.<name>.ClientSecret     only where the provider gives desktop programs one (Google)
struct OAuthProvider {
    std::string name;  // the entry's name: "microsoft", "google" or the settings' own
    std::string title; // as the user reads it: "Microsoft", "Google", else the name
    std::vector<std::string> servers;
    std::string authorizationUrl;
    std::string tokenUrl;
    std::string scopes;
    std::string clientId;
    std::string clientSecret;
    // Further parameters of the authorization request (Google's offline access).
    std::vector<std::pair<std::string, std::string>> authorizationParameters;
};

class COAuthProviders {
public:
    // The store must outlive this object; it is read at each question, so that an edited
    // settings file counts from the next connect on.
    explicit COAuthProviders(ISettingsStore& store) : store_(store) {}

    // The provider whose servers include server (case ignored), the settings' entries before the
    // built-in ones; none when no provider serves it.
    std::optional<OAuthProvider> forServer(const std::string& server) const;
    // An account signs in with OAuth when no password is typed and a provider serves its
    // server; a typed password always takes the password login.
    bool signsInWithOAuth(const std::string& server, const std::string& password) const;
    // Whether a provider can be used as it stands: a client id, and addresses that keep the
    // code and the tokens from the network (https, or http to this machine). False with the text
    // for the status line.
    static bool usable(const OAuthProvider& provider, std::string& errorText);

    static constexpr const char* kListKey = "OAuthProviders";

private:
    OAuthProvider read(const std::string& name) const;

    ISettingsStore& store_;
};
