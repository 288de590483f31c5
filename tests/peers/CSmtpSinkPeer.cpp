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

namespace {

constexpr auto kStartTimeout = 10s;
constexpr int kBindAttempts = 3;

// True once the port answers with an SMTP greeting.

} // namespace

CSmtpSinkPeer::CSmtpSinkPeer() = default;

CSmtpSinkPeer::~CSmtpSinkPeer() {
    stop();
    if (!dir_.empty()) {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
}

void CSmtpSinkPeer::listenWithTls(const std::string& address, const std::string& certificateFile,
                                  const std::string& keyFile) {
    tlsAddress_ = address;
    tlsCertificate_ = certificateFile;
    tlsKey_ = keyFile;
}

bool CSmtpSinkPeer::launch(std::string& error) {
    std::vector<std::string> args = {"python3", MAROKET_PEERS_DIR "/smtp_sink.py",
                                     std::to_string(port_), dir_ + "/messages"};
    if (!tlsAddress_.empty())
        args.insert(args.end(), {tlsAddress_, tlsCertificate_, tlsKey_});
    if (printHeaders_)
        args.insert(args.begin() + 2, "--print-headers");
    // The system's Python first: aiosmtpd comes from the Debian package.
    pid_ = CPeerProcess::start({"/usr/bin/python3", "python3"}, args, dir_ + "/sink.log", error);
    return pid_ > 0;
}

bool CSmtpSinkPeer::waitForGreeting(std::string& error) {
    const auto deadline = Clock::now() + kStartTimeout;
    while (Clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error = "the SMTP sink ended at start-up";
            return false;
        }
        if (CPeerProcess::greets(port_, "220"))
            return true;
        std::this_thread::sleep_for(20ms);
    }
    error = "the SMTP sink did not greet on port " + std::to_string(port_) + " within 10 s";
    return false;
}

bool CSmtpSinkPeer::start(std::string& error) {
    stop();
    error.clear();
    if (dir_.empty()) {
        std::string dir = "/tmp/maroket-smtp-XXXXXX";
        if (!::mkdtemp(dir.data())) {
            error = std::string("mkdtemp: ") + std::strerror(errno);
            return false;
        }
        dir_ = dir;
        std::error_code ec;
        if (!fs::create_directory(dir_ + "/messages", ec)) {
            error = dir_ + "/messages: " + ec.message();
            return false;
        }
    }
    for (int attempt = 1; attempt <= kBindAttempts; ++attempt) {
        port_ = CFreePort::pick(host());
        if (port_ < 0) {
            error = "no free port on " + host();
            return false;
        }
        const std::size_t logBefore = log().size();
        if (!launch(error))
            return false;
        if (waitForGreeting(error))
            return true;
        stop();
        // Someone else took the port between pick() and the bind: try another.
        if (log().find("Address already in use", logBefore) == std::string::npos)
            break;
    }
    error += "\n--- sink log ---\n" + log();
    return false;
}

void CSmtpSinkPeer::stop() {
    CPeerProcess::stop(pid_);
}

std::size_t CSmtpSinkPeer::storedCount() const {
    std::size_t n = 0;
    while (fs::exists(dir_ + "/messages/" + std::to_string(n + 1) + ".done"))
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
        const std::string base = dir_ + "/messages/" + std::to_string(n);
        Message m;
        m.helo = CPeerProcess::readFile(base + ".helo");
        m.sender = CPeerProcess::readFile(base + ".from");
        std::istringstream rcpt(CPeerProcess::readFile(base + ".rcpt"));
        for (std::string line; std::getline(rcpt, line);)
            m.recipients.push_back(line);
        m.data = CPeerProcess::readFile(base + ".data");
        out.push_back(std::move(m));
    }
    return out;
}

std::string CSmtpSinkPeer::log() const {
    return dir_.empty() ? std::string{} : CPeerProcess::readFile(dir_ + "/sink.log");
}
