#include "platform/COAuthProviders.h"

#include "platform/ISettingsStore.h"
#include "resources/CStringTable.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace {

const OAuthProvider kMicrosoft{
    "microsoft",
    "Microsoft",
    {"outlook.office365.com", "pop-mail.outlook.com", "smtp.office365.com",
     "smtp-mail.outlook.com"},
    "https://login.microsoftonline.com/common/oauth2/v2.0/authorize",
    "https://login.microsoftonline.com/common/oauth2/v2.0/token",
    // offline_access brings the refresh token that spares a sign-in at every start.
    "https://outlook.office.com/POP.AccessAsUser.All https://outlook.office.com/SMTP.Send "
    "offline_access",
    {},
    {},
    {}};

const OAuthProvider kGoogle{"google",
                            "Google",
                            {"pop.gmail.com", "smtp.gmail.com"},
                            "https://accounts.google.com/o/oauth2/v2/auth",
                            "https://oauth2.googleapis.com/token",
                            "https://mail.google.com/",
                            {},
                            {},
                            {{"access_type", "offline"}}};

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string word; in >> word;)
        out.push_back(word);
    return out;
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// "Pop.Gmail.com." and "pop.gmail.com" are one server.
std::string hostKey(const std::string& host) {
    std::string key = lower(host);
    while (!key.empty() && key.back() == '.')
        key.pop_back();
    return key;
}

// A name becomes part of a settings key, where QSettings reads "/" and "\" as groups.
bool validName(const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '-' || c == '_';
    });
}

// https, or plain http only to this machine, where no one on the network reads the code.
bool safeUrl(const std::string& url) {
    if (lower(url.substr(0, 8)) == "https://")
        return url.size() > 8;
    if (lower(url.substr(0, 7)) != "http://")
        return false;
    const std::string rest = lower(url.substr(7));
    for (const char* host : {"127.0.0.1", "localhost", "[::1]"}) {
        const std::string h = host;
        if (rest.compare(0, h.size(), h) == 0 &&
            (rest.size() == h.size() || rest[h.size()] == ':' || rest[h.size()] == '/'))
            return true;
    }
    return false;
}

} // namespace

OAuthProvider COAuthProviders::read(const std::string& name) const {
    OAuthProvider provider;
    if (name == kMicrosoft.name)
        provider = kMicrosoft;
    else if (name == kGoogle.name)
        provider = kGoogle;
    else
        provider.name = provider.title = name;
    const std::string prefix = "OAuth." + name + ".";
    const std::string servers = store_.readString(prefix + "Servers", "");
    if (!servers.empty())
        provider.servers = words(servers);
    provider.authorizationUrl =
        store_.readString(prefix + "AuthorizationUrl", provider.authorizationUrl);
    provider.tokenUrl = store_.readString(prefix + "TokenUrl", provider.tokenUrl);
    provider.scopes = store_.readString(prefix + "Scopes", provider.scopes);
    provider.clientId = store_.readString(prefix + "ClientId", provider.clientId);
    provider.clientSecret = store_.readString(prefix + "ClientSecret", provider.clientSecret);
    return provider;
}

std::optional<OAuthProvider> COAuthProviders::forServer(const std::string& server) const {
    const std::string wanted = hostKey(server);
    if (wanted.empty())
        return std::nullopt;
    std::vector<std::string> names = words(store_.readString(kListKey, ""));
    names.push_back(kMicrosoft.name);
    names.push_back(kGoogle.name);
    for (const std::string& name : names) {
        if (!validName(name))
            continue;
        OAuthProvider provider = read(name);
        for (const std::string& host : provider.servers)
            if (hostKey(host) == wanted)
                return provider;
    }
    return std::nullopt;
}

bool COAuthProviders::signsInWithOAuth(const std::string& server,
                                       const std::string& password) const {
    return password.empty() && forServer(server).has_value();
}

bool COAuthProviders::usable(const OAuthProvider& provider, std::string& errorText) {
    if (provider.clientId.empty()) {
        errorText = CStringTable::load(StringId::OAuthNoClientId, provider.name);
        return false;
    }
    for (const auto& [url, key] : {std::pair{provider.authorizationUrl, "AuthorizationUrl"},
                                   std::pair{provider.tokenUrl, "TokenUrl"}}) {
        if (!safeUrl(url)) {
            errorText = CStringTable::load(
                StringId::OAuthUnsafeUrl, url.empty() ? "OAuth." + provider.name + "." + key : url);
            return false;
        }
    }
    return true;
}
