#include "tests/peers/COAuthProviderPeer.h"

#include "tests/peers/CPeerProcess.h"

#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <regex>

using namespace std::chrono_literals;

COAuthProviderPeer::COAuthProviderPeer(std::string clientId, std::string secret)
    : CTestPeer({"the identity provider", "provider", "/tmp/maroket-idp-XXXXXX", "provider.log",
                 10s, false}),
      clientId_(std::move(clientId)), secret_(std::move(secret)) {}

std::string COAuthProviderPeer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void COAuthProviderPeer::setExpiresIn(int seconds) {
    request(port_, "POST", "/admin/expires-in", "seconds=" + std::to_string(seconds));
}

void COAuthProviderPeer::revoke(const std::string& kind) {
    request(port_, "POST", "/admin/revoke", "kind=" + kind);
}

int COAuthProviderPeer::count(const std::string& what) const {
    const std::string stats = request(port_, "GET", "/admin/stats");
    std::smatch match;
    if (!std::regex_search(stats, match, std::regex("\"" + what + "\": (\\d+)")))
        return -1;
    return std::stoi(match[1]);
}

std::string COAuthProviderPeer::request(int port, const std::string& method,
                                        const std::string& target, const std::string& form,
                                        bool headerToo) {
    const int fd = CPeerProcess::connectTo("127.0.0.1", port, 5);
    if (fd < 0)
        return {};
    std::string out = method + " " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\n";
    if (method == "POST")
        out += "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
               std::to_string(form.size()) + "\r\n";
    out += "\r\n" + form;
    std::string reply;
    if (::send(fd, out.data(), out.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(out.size())) {
        char buffer[4096];
        for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;)
            reply.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    const std::size_t body = reply.find("\r\n\r\n");
    if (headerToo || body == std::string::npos)
        return reply;
    return reply.substr(body + 4);
}

bool COAuthProviderPeer::pickPlace(std::string& error) {
    return pickPort("127.0.0.1", port_, error);
}

bool COAuthProviderPeer::launch(std::string& error) {
    std::vector<std::string> args = {"python3", MAROKET_PEERS_DIR "/oauth_provider.py",
                                     std::to_string(port_), clientId_};
    if (!secret_.empty())
        args.push_back(secret_);
    return startProcess({"/usr/bin/python3", "python3"}, args, error);
}

bool COAuthProviderPeer::answers() const {
    return count("authorize") >= 0;
}

std::string COAuthProviderPeer::waitedFor() const {
    return "answer on port " + std::to_string(port_);
}
