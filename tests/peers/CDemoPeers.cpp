#include "tests/peers/CDemoPeers.h"

#include "tests/peers/CPeerProcess.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {
constexpr auto kGenerateTimeout = 60s;
} // namespace

CDemoPeers::CDemoPeers() {
    mailbox_.setAccount(kAccount, kPassword);
    sink_.printHeaders();
}

CDemoPeers::~CDemoPeers() {
    stop();
    if (!dir_.empty()) {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
}

bool CDemoPeers::generate(std::string& error) {
    const std::string folder = dir_ + "/mailbox";
    pid_t pid = CPeerProcess::start({"/usr/bin/python3", "python3"},
                                    {"python3", MAROKET_TOOLS_DIR "/demo-mailbox.py", folder},
                                    dir_ + "/generator.log", error);
    if (pid <= 0)
        return false;
    const auto deadline = Clock::now() + kGenerateTimeout;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) != pid) {
        if (Clock::now() >= deadline) {
            CPeerProcess::stop(pid);
            error = "the demo mailbox was not written within 60 s";
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = "the demo mailbox could not be written (" + CPeerProcess::describeExit(status) +
                ")\n" + CPeerProcess::readFile(dir_ + "/generator.log");
        return false;
    }

    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == ".eml")
            files.push_back(it->path());
    // The names are numbered with leading zeros: their order is the server's.
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        if (!mailbox_.addMessage(CPeerProcess::readFile(file))) {
            error = "cannot add " + file.string() + " to the mailbox";
            return false;
        }
        ++messageCount_;
    }
    // The server has its own copies now.
    fs::remove_all(folder, ec);
    if (messageCount_ == 0) {
        error = "the demo mailbox is empty";
        return false;
    }
    return true;
}

bool CDemoPeers::writeSettings(std::string& error) const {
    // The program's settings group and keys, in the INI form it reads with --settings.
    std::ofstream out(settingsFile(), std::ios::trunc);
    out << "[Maroket]\n"
        << "Port=" << mailbox_.port() << "\n"
        << "Smtpserver=" << sink_.host() << "\n"
        << "Smtpport=" << sink_.port() << "\n"
        << "Address=" << kAddress << "\n";
    out.close();
    if (!out) {
        error = "cannot write " + settingsFile();
        return false;
    }
    return true;
}

bool CDemoPeers::start(std::string& error) {
    error.clear();
    if (dir_.empty()) {
        std::string dir = "/tmp/maroket-demo-XXXXXX";
        if (!::mkdtemp(dir.data())) {
            error = std::string("mkdtemp: ") + std::strerror(errno);
            return false;
        }
        dir_ = dir;
        if (!generate(error))
            return false;
    }
    if (!mailbox_.start(error)) {
        error = "Dovecot: " + error;
        return false;
    }
    if (!sink_.start(error)) {
        error = "SMTP sink: " + error;
        return false;
    }
    return writeSettings(error);
}

void CDemoPeers::stop() {
    sink_.stop();
    mailbox_.stop();
}

std::vector<std::string> CDemoPeers::programOptions() const {
    return {"--settings", settingsFile(), "--server",   mailbox_.host(),
            "--account",  kAccount,       "--password", kPassword};
}
