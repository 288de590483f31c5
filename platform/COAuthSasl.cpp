#include "platform/COAuthSasl.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <algorithm>

namespace {

bool framable(std::string_view field) {
    return std::none_of(field.begin(), field.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

// The plain messages, which hold the token; empty when a field holds a control character.
std::string xoauth2Message(std::string_view account, std::string_view token) {
    if (!framable(account) || !framable(token))
        return {};
    std::string message;
    message.reserve(account.size() + token.size() + 22);
    message.append("user=")
        .append(account)
        .append("\x01"
                "auth=Bearer ")
        .append(token);
    message.append("\x01\x01");
    return message;
}

std::string oauthBearerMessage(std::string_view account, std::string_view host, int port,
                               std::string_view token) {
    if (!framable(account) || !framable(host) || !framable(token))
        return {};
    std::string message = "n,a=";
    for (char c : account)
        message += c == ',' ? "=2C" : c == '=' ? "=3D" : std::string(1, c);
    message
        .append(",\x01"
                "host=")
        .append(host)
        .append("\x01"
                "port=");
    message.append(std::to_string(port))
        .append("\x01"
                "auth=Bearer ")
        .append(token);
    message.append("\x01\x01");
    return message;
}

// The message in base64; the plain message, which holds the token, is wiped.
std::string encoded(std::string& message) {
    if (message.empty())
        return {};
    std::string out = COAuthSasl::encodedLine("", message);
    OPENSSL_cleanse(message.data(), message.size());
    out.resize(out.size() - 2); // the line's CR LF
    return out;
}

} // namespace

std::string COAuthSasl::encodedLine(std::string_view prefix, std::string_view bytes) {
    // Room for the line at once, so that no copy of the secret is left in memory given back.
    std::string line(prefix.size() + 4 * ((bytes.size() + 2) / 3) + 3, '\0');
    std::copy(prefix.begin(), prefix.end(), line.begin());
    const int length = EVP_EncodeBlock(
        reinterpret_cast<unsigned char*>(line.data() + prefix.size()),
        reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    line.resize(prefix.size() + static_cast<std::size_t>(std::max(length, 0)));
    line += "\r\n";
    return line;
}

std::string COAuthSasl::xoauth2(std::string_view account, std::string_view token) {
    std::string message = xoauth2Message(account, token);
    return encoded(message);
}

std::string COAuthSasl::oauthBearer(std::string_view account, std::string_view host, int port,
                                    std::string_view token) {
    std::string message = oauthBearerMessage(account, host, port, token);
    return encoded(message);
}

std::string COAuthSasl::authCommand(bool bearer, std::string_view account, std::string_view host,
                                    int port, std::string_view token) {
    std::string message =
        bearer ? oauthBearerMessage(account, host, port, token) : xoauth2Message(account, token);
    if (message.empty())
        return {};
    std::string line = encodedLine(bearer ? "AUTH OAUTHBEARER " : "AUTH XOAUTH2 ", message);
    OPENSSL_cleanse(message.data(), message.size());
    return line;
}

std::string COAuthSasl::challengeText(std::string_view base64) {
    std::string trimmed(base64);
    while (!trimmed.empty() &&
           (trimmed.back() == '\r' || trimmed.back() == '\n' || trimmed.back() == ' '))
        trimmed.pop_back();
    if (trimmed.size() % 4 != 0)
        return {};
    std::string text(trimmed.size() / 4 * 3 + 1, '\0');
    const int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(text.data()),
                                       reinterpret_cast<const unsigned char*>(trimmed.data()),
                                       static_cast<int>(trimmed.size()));
    if (length < 0)
        return {};
    // EVP_DecodeBlock counts the padding as bytes.
    std::size_t size = static_cast<std::size_t>(length);
    for (std::size_t i = trimmed.size(); i > 0 && trimmed[i - 1] == '=' && size > 0; --i)
        --size;
    text.resize(size);
    std::replace_if(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
    return text;
}
