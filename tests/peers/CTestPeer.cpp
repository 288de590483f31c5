#include "tests/peers/CTestPeer.h"

#include "tests/peers/CFreePort.h"
#include "tests/peers/CPeerProcess.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr int kBindAttempts = 3;

} // namespace

CTestPeer::~CTestPeer() {
    stop();
    if (!dir_.empty()) {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
}

bool CTestPeer::prepare(std::string& error) {
    if (!dir_.empty())
        return true;
    std::string dir = traits_.dirPattern;
    if (!::mkdtemp(dir.data())) {
        error = std::string("mkdtemp: ") + std::strerror(errno);
        return false;
    }
    dir_ = dir;
    return true;
}

bool CTestPeer::start(std::string& error) {
    stop();
    error.clear();
    if (!prepare(error))
        return false;
    for (int attempt = 1; attempt <= kBindAttempts; ++attempt) {
        if (!pickPlace(error))
            return false;
        const std::size_t logBefore = log().size();
        if (!launch(error))
            return false;
        if (waitUntilAnswering(error))
            return true;
        stop();
        // Someone else took the place between the pick and the server's bind: try another.
        if (log().find("Address already in use", logBefore) == std::string::npos)
            break;
    }
    error += std::string("\n--- ") + traits_.logTitle + " log ---\n" + log();
    return false;
}

bool CTestPeer::waitUntilAnswering(std::string& error) {
    const auto deadline = Clock::now() + traits_.startTimeout;
    while (Clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error = std::string(traits_.name) + " ended at start-up (" +
                    CPeerProcess::describeExit(status) + ")";
            return false;
        }
        if (answers())
            return true;
        std::this_thread::sleep_for(10ms);
    }
    error = std::string(traits_.name) + " did not " + waitedFor() + " within " +
            std::to_string(traits_.startTimeout.count()) + " s";
    return false;
}

bool CTestPeer::pickPort(const std::string& address, int& port, std::string& error) {
    port = CFreePort::pick(address);
    if (port < 0)
        error = "no free port on " + address;
    return port >= 0;
}

bool CTestPeer::startProcess(const std::vector<std::string>& programs,
                             const std::vector<std::string>& args, std::string& error) {
    pid_ = CPeerProcess::start(programs, args, dir_ + "/" + traits_.logFile, error);
    return pid_ > 0;
}

void CTestPeer::stop() {
    CPeerProcess::stop(pid_, traits_.stopWholeGroup);
}

std::string CTestPeer::log() const {
    return dir_.empty() ? std::string{} : CPeerProcess::readFile(dir_ + "/" + traits_.logFile);
}
