#include "tests/peers/CPeerProcess.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

bool groupHasLiveMembers(pid_t group) {
    std::error_code ec;
    for (fs::directory_iterator it("/proc", ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream in(it->path() / "stat");
        std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // After the command in parentheses: state, parent, process group.
        std::istringstream fields(stat.substr(stat.rfind(')') + 1));
        char state = 0;
        long parent = 0, pgrp = 0;
        if (fields >> state >> parent >> pgrp && pgrp == group && state != 'Z' && state != 'X')
            return true;
    }
    return false;
}

} // namespace

pid_t CPeerProcess::start(const std::vector<std::string>& programs,
                          const std::vector<std::string>& args, const std::string& logPath,
                          std::string& error) {
    std::vector<std::string> words = args;
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0) {
        error = std::string("fork: ") + std::strerror(errno);
        return -1;
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
        for (const std::string& program : programs) {
            // A program named by its path is also called by it: Python looks for its own
            // library beside argv[0] when that has no slash, which through $PATH may be
            // another installation's (pyenv, a virtual environment) that the system's Python
            // cannot load.
            argv[0] = const_cast<char*>(program.find('/') == std::string::npos ? words[0].c_str()
                                                                               : program.c_str());
            program.find('/') == std::string::npos ? ::execvp(program.c_str(), argv.data())
                                                   : ::execv(program.c_str(), argv.data());
        }
        const char message[] = "cannot run the server\n";
        (void)!::write(2, message, sizeof message - 1);
        ::_exit(127);
    }
    ::setpgid(pid, pid);
    return pid;
}

void CPeerProcess::stop(pid_t& pid, bool wholeGroup) {
    if (pid <= 0)
        return;
    ::killpg(pid, SIGTERM);
    const auto deadline = Clock::now() + 5s;
    bool ended = false;
    while (!ended && Clock::now() < deadline) {
        ended = ::waitpid(pid, nullptr, WNOHANG) == pid;
        if (!ended)
            std::this_thread::sleep_for(5ms);
    }
    if (!ended) {
        ::killpg(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    if (wholeGroup) {
        // The leader may go before its children; they must be gone before the caller removes
        // the folder they write in.
        const auto groupDeadline = Clock::now() + 2s;
        while (groupHasLiveMembers(pid) && Clock::now() < groupDeadline)
            std::this_thread::sleep_for(5ms);
        ::killpg(pid, SIGKILL);
    }
    pid = -1;
}

std::string CPeerProcess::describeExit(int status) {
    if (WIFEXITED(status))
        return "exit code " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return "signal " + std::to_string(WTERMSIG(status));
    return "status " + std::to_string(status);
}

std::string CPeerProcess::readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool CPeerProcess::greets(int port, const char* code) {
    const int fd = connectTo("127.0.0.1", port, 1);
    char buffer[256];
    ssize_t n = -1;
    if (fd >= 0) {
        n = ::recv(fd, buffer, sizeof buffer, 0);
        ::close(fd);
    }
    const std::size_t length = std::strlen(code);
    return n >= static_cast<ssize_t>(length) && std::memcmp(buffer, code, length) == 0;
}

int CPeerProcess::connectTo(const std::string& address, int port, int timeoutSeconds) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(port));
    timeval timeout{timeoutSeconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    if (::inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1 ||
        ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}
