#include "tests/peers/CSmtpSinkPeer.h"

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
constexpr auto kStopTimeout = 5s;
constexpr int kBindAttempts = 3;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// True once the port answers with an SMTP greeting.
bool greets(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval timeout{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    char buffer[256];
    ssize_t n = -1;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        n = ::recv(fd, buffer, sizeof buffer, 0);
    ::close(fd);
    return n >= 3 && std::memcmp(buffer, "220", 3) == 0;
}

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
    const std::string script = MAROKET_PEERS_DIR "/smtp_sink.py";
    const std::string portText = std::to_string(port_);
    const std::string messages = dir_ + "/messages";
    const std::string logPath = dir_ + "/sink.log";
    std::vector<const char*> argv = {"python3", script.c_str(), portText.c_str(), messages.c_str()};
    if (!tlsAddress_.empty())
        argv.insert(argv.end(), {tlsAddress_.c_str(), tlsCertificate_.c_str(), tlsKey_.c_str()});
    argv.push_back(nullptr);

    pid_t pid = ::fork();
    if (pid < 0) {
        error = std::string("fork: ") + std::strerror(errno);
        return false;
    }
    if (pid == 0) {
        ::setpgid(0, 0);
        int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        int null = ::open("/dev/null", O_RDONLY);
        if (log < 0 || null < 0)
            ::_exit(126);
        ::dup2(null, 0);
        ::dup2(log, 1);
        ::dup2(log, 2);
        ::close_range(3, ~0U, 0);
        // The system's Python: aiosmtpd comes from the Debian package.
        ::execv("/usr/bin/python3", const_cast<char**>(argv.data()));
        ::execvp("python3", const_cast<char**>(argv.data()));
        const char message[] = "cannot run python3\n";
        (void)!::write(2, message, sizeof message - 1);
        ::_exit(127);
    }
    ::setpgid(pid, pid);
    pid_ = pid;
    return true;
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
        if (greets(port_))
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
    if (pid_ <= 0)
        return;
    ::killpg(pid_, SIGTERM);
    const auto deadline = Clock::now() + kStopTimeout;
    bool ended = false;
    while (!ended && Clock::now() < deadline) {
        ended = ::waitpid(pid_, nullptr, WNOHANG) == pid_;
        if (!ended)
            std::this_thread::sleep_for(5ms);
    }
    if (!ended) {
        ::killpg(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
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
        m.helo = readFile(base + ".helo");
        m.sender = readFile(base + ".from");
        std::istringstream rcpt(readFile(base + ".rcpt"));
        for (std::string line; std::getline(rcpt, line);)
            m.recipients.push_back(line);
        m.data = readFile(base + ".data");
        out.push_back(std::move(m));
    }
    return out;
}

std::string CSmtpSinkPeer::log() const {
    return dir_.empty() ? std::string{} : readFile(dir_ + "/sink.log");
}
