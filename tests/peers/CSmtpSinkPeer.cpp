#include "tests/peers/CSmtpSinkPeer.h"

#include "tests/peers/CPeerProcess.h"

#include "tests/peers/CFreePort.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <signal.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {} // namespace

CSmtpSinkPeer::CSmtpSinkPeer()
    : CTestPeer({"the SMTP sink", "sink", "/tmp/maroket-smtp-XXXXXX", "sink.log", 10s, false}) {}

void CSmtpSinkPeer::listenWithTls(const std::string& address, const std::string& certificateFile,
                                  const std::string& keyFile) {
    tlsAddress_ = address;
    tlsCertificate_ = certificateFile;
    tlsKey_ = keyFile;
}

bool CSmtpSinkPeer::launch(std::string& error) {
    std::vector<std::string> args = {"python3", MAROKET_PEERS_DIR "/smtp_sink.py",
                                     std::to_string(port_), dir() + "/messages"};
    if (!tlsAddress_.empty())
        args.insert(args.end(), {tlsAddress_, tlsCertificate_, tlsKey_});
    if (!introspectionUrl_.empty())
        args.insert(args.begin() + 2, {"--oauth", introspectionUrl_});
    if (!account_.empty())
        args.insert(args.begin() + 2, {"--login", account_, password_});
    if (printHeaders_)
        args.insert(args.begin() + 2, "--print-headers");
    // The system's Python first: aiosmtpd comes from the Debian package.
    return startProcess({"/usr/bin/python3", "python3"}, args, error);
}

bool CSmtpSinkPeer::prepare(std::string& error) {
    if (!dir().empty())
        return true;
    if (!CTestPeer::prepare(error))
        return false;
    std::error_code ec;
    if (!fs::create_directory(dir() + "/messages", ec)) {
        error = dir() + "/messages: " + ec.message();
        return false;
    }
    return true;
}

bool CSmtpSinkPeer::pickPlace(std::string& error) {
    return pickPort(host(), port_, error);
}

bool CSmtpSinkPeer::answers() const {
    return CPeerProcess::greets(port_, "220");
}

std::string CSmtpSinkPeer::waitedFor() const {
    return "greet on port " + std::to_string(port_);
}

std::size_t CSmtpSinkPeer::storedCount() const {
    std::size_t n = 0;
    while (fs::exists(dir() + "/messages/" + std::to_string(n + 1) + ".done"))
        ++n;
    return n;
}

bool CSmtpSinkPeer::waitForMessages(std::size_t count, int timeoutMs) const {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (storedCount() < count) {
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

std::vector<CSmtpSinkPeer::Message> CSmtpSinkPeer::messages() const {
    std::vector<Message> out;
    const std::size_t count = storedCount();
    for (std::size_t n = 1; n <= count; ++n) {
        const std::string base = dir() + "/messages/" + std::to_string(n);
        Message m;
        m.helo = CPeerProcess::readFile(base + ".helo");
        m.sender = CPeerProcess::readFile(base + ".from");
        m.login = CPeerProcess::readFile(base + ".login");
        std::istringstream rcpt(CPeerProcess::readFile(base + ".rcpt"));
        for (std::string line; std::getline(rcpt, line);)
            m.recipients.push_back(line);
        m.data = CPeerProcess::readFile(base + ".data");
        out.push_back(std::move(m));
    }
    return out;
}
