// The servers of tools/run.sh --demo: a private Dovecot with the demo mailbox and an SMTP sink,
// both on loopback, until SIGTERM, SIGINT or SIGHUP, or until the process that started it ends.
//   build/maroket_demo_peers OPTIONS_FILE
// Once both servers are up, OPTIONS_FILE holds the program's options for them, one a line; what
// the sink prints of each message it receives (its envelope and header lines) comes out here.
#include "peers/CDemoPeers.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

// Written under another name and renamed, so that a reader never sees half of it.
bool writeOptions(const std::string& path, const CDemoPeers& demo) {
    const std::string staged = path + ".new";
    std::ofstream out(staged, std::ios::trunc);
    for (const std::string& option : demo.programOptions())
        out << option << "\n";
    out.close();
    return out && std::rename(staged.c_str(), path.c_str()) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OPTIONS_FILE\n", argv[0]);
        return 2;
    }
    const pid_t starter = ::getppid();
    struct sigaction action = {};
    action.sa_handler = requestStop;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);

    CDemoPeers demo;
    std::string error;
    if (!demo.start(error)) {
        std::fprintf(stderr, "The demo servers did not start: %s\n", error.c_str());
        return 1;
    }
    if (!writeOptions(argv[1], demo)) {
        std::fprintf(stderr, "Cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("Demo mailbox: %d messages on POP3 server %s port %d, account %s, password %s.\n"
                "SMTP sink on %s port %d: the headers of every message it receives follow.\n",
                demo.messageCount(), demo.mailbox().host().c_str(), demo.mailbox().port(),
                CDemoPeers::kAccount, CDemoPeers::kPassword, demo.sink().host().c_str(),
                demo.sink().port());
    std::fflush(stdout);

    // The sink writes into its log; what it adds is passed on to the terminal.
    std::size_t shown = demo.sink().log().size();
    while (!stopRequested && ::getppid() == starter) {
        const std::string log = demo.sink().log();
        if (log.size() > shown) {
            std::fwrite(log.data() + shown, 1, log.size() - shown, stdout);
            std::fflush(stdout);
            shown = log.size();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    demo.stop();
    return 0;
}
