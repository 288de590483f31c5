#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// A test server run as a child in a process group of its own, its output in a log file, so that
// stopping it reaches every process it started.
class CPeerProcess {
public:
    // Runs programs[0] (or, if that cannot be run, the next) with args; stdin from /dev/null,
    // stdout and stderr appended to logPath. -1 with the reason in error when fork fails.
    static pid_t start(const std::vector<std::string>& programs,
                       const std::vector<std::string>& args, const std::string& logPath,
                       std::string& error);
    // SIGTERM to the group, SIGKILL after 5 s; with wholeGroup also waits (2 s at most) for
    // members that outlive the leader. Sets pid to -1.
    static void stop(pid_t& pid, bool wholeGroup = false);
    // "exit code N" or "signal N", for a status from waitpid.
    static std::string describeExit(int status);
    static std::string readFile(const std::string& path);
    // True once 127.0.0.1:port answers with a first line that begins with code ("+OK", "220").
    static bool greets(int port, const char* code);
    // A TCP connection to address (IPv4) and port whose receives wait at most timeoutSeconds:
    // its descriptor, or -1 when nothing accepts there.
    static int connectTo(const std::string& address, int port, int timeoutSeconds);
};
