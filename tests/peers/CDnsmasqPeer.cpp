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
constexpr int kAddressCandidates = 32;

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
bool answersAt(const std::string& address) {
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

CDnsmasqPeer::CDnsmasqPeer()
    : CTestPeer({"dnsmasq", "dnsmasq", "/tmp/maroket-dnsmasq-XXXXXX", "dnsmasq.log", 5s, false}) {}

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
    return startProcess({"/usr/sbin/dnsmasq", "dnsmasq"}, args, error);
}

bool CDnsmasqPeer::pickPlace(std::string& error) {
    address_ = pickAddress(error);
    return !address_.empty();
}

bool CDnsmasqPeer::answers() const {
    return answersAt(address_);
}

std::string CDnsmasqPeer::waitedFor() const {
    return "answer on " + address_ + " port 53";
}
