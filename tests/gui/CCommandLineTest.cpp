// The program's command line as a shell meets it without a display: the help, an option it does
// not know, no display at all, and Qt's offscreen platform, which needs none.
#include "app/CStartOptions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

// Runs the built program with exactly these arguments and this environment.
Outcome run(const std::vector<std::string>& args, const std::vector<std::string>& environment) {
    std::vector<std::string> words = {MAROKET_PROGRAM};
    words.insert(words.end(), args.begin(), args.end());
    auto pointers = [](std::vector<std::string>& strings) {
        std::vector<char*> list;
        for (std::string& s : strings)
            list.push_back(s.data());
        list.push_back(nullptr);
        return list;
    };
    std::vector<std::string> env = environment;
    std::vector<char*> argv = pointers(words), envp = pointers(env);
    int out[2], err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    Outcome outcome;
    pollfd fds[] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    for (int open = 2; spawned == 0 && open > 0 && ::poll(fds, 2, 30000) > 0;) {
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char chunk[4096];
            const ssize_t n = ::read(fds[i].fd, chunk, sizeof chunk);
            if (n > 0) {
                (i == 0 ? outcome.out : outcome.err).append(chunk, static_cast<std::size_t>(n));
            } else {
                fds[i].fd = -1;
                --open;
            }
        }
    }
    ::close(out[0]);
    ::close(err[0]);
    int status = 0;
    if (spawned == 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        outcome.status = WEXITSTATUS(status);
    return outcome;
}

TEST(CCommandLine, HelpErrorsAndAMissingDisplayNeedNoDisplay) {
    const std::string home = std::getenv("XDG_RUNTIME_DIR");
    // Neither DISPLAY, WAYLAND_DISPLAY nor QT_QPA_PLATFORM.
    const std::vector<std::string> bare = {"PATH=/usr/bin:/bin", "HOME=" + home,
                                           "XDG_RUNTIME_DIR=" + home,
                                           "XDG_CONFIG_HOME=" + home + "/config"};
    const std::string help = CStartOptions::helpText();
    for (const char* option : {"--help", "-h"}) {
        const Outcome asked = run({option}, bare);
        EXPECT_EQ(asked.status, 0) << option;
        EXPECT_EQ(asked.out, help);
        EXPECT_EQ(asked.err, "");
    }
    EXPECT_NE(help.find("--settings FIL"), std::string::npos);
    EXPECT_NE(help.find("-h, --help"), std::string::npos);

    const Outcome unknown = run({"--bogus"}, bare);
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "maroket: okänd flagga: --bogus\n\n" + help);
    EXPECT_EQ(unknown.out, "");
    const Outcome lacking = run({"--server"}, bare);
    EXPECT_EQ(lacking.status, 2);
    EXPECT_EQ(lacking.err.rfind("maroket: --server behöver ett värde\n", 0), 0u) << lacking.err;

    const Outcome noDisplay = run({}, bare);
    EXPECT_EQ(noDisplay.status, 1);
    EXPECT_EQ(noDisplay.err,
              "Maroket behöver en grafisk skärm (DISPLAY eller WAYLAND_DISPLAY saknas).\n");

    // A platform without a display starts the window, given as Qt's option or its variable.
    const std::vector<std::string> shown = {"--exit-when-shown", "--settings", home + "/cli.conf"};
    std::vector<std::string> withPlatform = shown;
    withPlatform.insert(withPlatform.end(), {"-platform", "offscreen"});
    EXPECT_EQ(run(withPlatform, bare).status, 0);
    std::vector<std::string> offscreen = bare;
    offscreen.push_back("QT_QPA_PLATFORM=offscreen");
    const Outcome started = run(shown, offscreen);
    EXPECT_EQ(started.status, 0) << started.err;
}

} // namespace
