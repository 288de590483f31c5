#include "tests/peers/CDnsmasqPeer.h"

#include "tests/peers/CPeerProcess.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <random>
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

constexpr int kDnsPort = 53;
constexpr auto kStartTimeout = 5s;
constexpr int kAddressCandidates = 32;
constexpr int kBindAttempts = 3;

sockaddr_in dnsAddress(const std::string& address) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(kDnsPort);
    ::inet_pton(AF_INET, address.c_str(), &a.sin_addr);
    return a;
}

// 0 when port 53 of address could be bound with this socket type, else the errno.
int tryBind(const std::string& address, int type) {
    int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return errno;
    const int one = 1;
    if (type == SOCK_STREAM) // as dnsmasq does; a closed connection's TIME_WAIT does not block
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    const sockaddr_in a = dnsAddress(address);
    int result = ::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0 ? 0 : errno;
    ::close(fd);
    return result;
}

// True once address answers a DNS query with anything at all.
bool answers(const std::string& address) {
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    timeval timeout{0, 200000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    // An MX query for "ready.test".
    static const char query[] = "\x00\x07\x01\x00\x00\x01\x00\x00\x00\x00\x00\x00"
                                "\x05ready\x04test\x00\x00\x0f\x00\x01";
    const sockaddr_in a = dnsAddress(address);
    char reply[512];
    ssize_t n = -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0 &&
        ::send(fd, query, sizeof query - 1, 0) == static_cast<ssize_t>(sizeof query - 1))
        n = ::recv(fd, reply, sizeof reply, 0);
    ::close(fd);
    return n >= 12 && reply[0] == 0 && reply[1] == 7;
}

} // namespace

CDnsmasqPeer::CDnsmasqPeer() = default;

CDnsmasqPeer::~CDnsmasqPeer() {
    stop();
    if (!dir_.empty()) {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
}

bool CDnsmasqPeer::available(std::string& reason) {
    return !pickAddress(reason).empty();
}

std::string CDnsmasqPeer::pickAddress(std::string& reason) {
    // Random, so that parallel runs rarely meet; 127.0.0.x is left to the machine (127.0.0.1,
    // a local resolver's 127.0.0.53), and .0 and .255 ends are avoided.
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> second(1, 254), third(0, 255), fourth(1, 254);
    for (int i = 0; i < kAddressCandidates; ++i) {
        const std::string candidate = "127." + std::to_string(second(random)) + "." +
                                      std::to_string(third(random)) + "." +
                                      std::to_string(fourth(random));
        int error = tryBind(candidate, SOCK_DGRAM);
        if (error == 0)
            error = tryBind(candidate, SOCK_STREAM);
        if (error == 0)
            return candidate;
        if (error == EACCES || error == EPERM) {
            reason = "binding port 53 needs root or CAP_NET_BIND_SERVICE";
            return {};
        }
    }
    reason = "no loopback address with a free port 53 found";
    return {};
}

void CDnsmasqPeer::addMxHost(const std::string& domain, const std::string& host, int preference) {
    records_.push_back("--mx-host=" + domain + "," + host + "," + std::to_string(preference));
}

void CDnsmasqPeer::addHostRecord(const std::string& name, const std::string& address) {
    records_.push_back("--host-record=" + name + "," + address);
}

bool CDnsmasqPeer::launch(std::string& error) {
    std::vector<std::string> args = {
        "dnsmasq",
        "--keep-in-foreground",
        "--conf-file=/dev/null",
        // Never forward: no resolv.conf, no upstream server, no /etc/hosts.
        "--no-resolv",
        "--no-hosts",
        "--no-poll",
        "--bind-interfaces",
        "--listen-address=" + address_,
        "--port=" + std::to_string(kDnsPort),
        "--pid-file=",
        "--local=/test/",
        "--log-facility=-",
        "--log-queries",
    };
    if (::geteuid() == 0)
        args.push_back("--user=nobody");
    args.insert(args.end(), records_.begin(), records_.end());
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_ =
        CPeerProcess::start({"/usr/sbin/dnsmasq", "dnsmasq"}, args, dir_ + "/dnsmasq.log", error);
    return pid_ > 0;
}

bool CDnsmasqPeer::waitForAnswer(std::string& error) {
    const auto deadline = Clock::now() + kStartTimeout;
    while (Clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error = "dnsmasq ended at start-up (" + CPeerProcess::describeExit(status) + ")";
            return false;
        }
        if (answers(address_))
            return true;
        std::this_thread::sleep_for(10ms);
    }
    error = "dnsmasq did not answer on " + address_ + " port 53 within 5 s";
    return false;
}

bool CDnsmasqPeer::start(std::string& error) {
    stop();
    error.clear();
    if (dir_.empty()) {
        std::string dir = "/tmp/maroket-dnsmasq-XXXXXX";
        if (!::mkdtemp(dir.data())) {
            error = std::string("mkdtemp: ") + std::strerror(errno);
            return false;
        }
        dir_ = dir;
    }
    for (int attempt = 1; attempt <= kBindAttempts; ++attempt) {
        address_ = pickAddress(error);
        if (address_.empty())
            return false;
        const size_t logBefore = log().size();
        if (!launch(error))
            return false;
        if (waitForAnswer(error))
            return true;
        stop();
        // Someone took the address between the check and dnsmasq's bind: try another.
        if (log().find("Address already in use", logBefore) == std::string::npos)
            break;
    }
    error += "\n--- dnsmasq log ---\n" + log();
    return false;
}

void CDnsmasqPeer::stop() {
    CPeerProcess::stop(pid_);
}

std::string CDnsmasqPeer::log() const {
    return CPeerProcess::readFile(dir_ + "/dnsmasq.log");
}
