// The program's command line as a shell meets it without a display: the help, an option it does
// not know, no display at all, and Qt's offscreen platform, which needs none.
#include "app/CStartOptions.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

// The built program with these arguments, in an environment of only these variables.
Outcome run(const std::string& arguments, const std::string& variables = {}) {
    const std::string home = std::getenv("XDG_RUNTIME_DIR");
    const std::string errors = home + "/stderr";
    const std::string command = "env -i PATH=/usr/bin:/bin HOME=" + home +
                                " XDG_RUNTIME_DIR=" + home + " XDG_CONFIG_HOME=" + home + " " +
                                variables + " " + MAROKET_PROGRAM + " " + arguments + " 2>" +
                                errors;
    Outcome outcome;
    FILE* pipe = ::popen(command.c_str(), "r");
    for (int c; pipe && (c = std::fgetc(pipe)) != EOF;)
        outcome.out += static_cast<char>(c);
    const int status = pipe ? ::pclose(pipe) : -1;
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ostringstream err;
    err << std::ifstream(errors).rdbuf();
    outcome.err = err.str();
    return outcome;
}

TEST(CCommandLine, HelpErrorsAndAMissingDisplayNeedNoDisplay) {
    const std::string help = CStartOptions::helpText();
    EXPECT_NE(help.find("-h, --help"), std::string::npos);
    for (const char* option : {"--help", "-h"}) {
        const Outcome asked = run(option);
        EXPECT_EQ(asked.status, 0) << option;
        EXPECT_EQ(asked.out, help);
        EXPECT_EQ(asked.err, "");
    }
    const Outcome unknown = run("--bogus");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "maroket: okänd flagga: --bogus\n\n" + help);
    EXPECT_EQ(unknown.out, "");

    const Outcome noDisplay = run("");
    EXPECT_EQ(noDisplay.status, 1);
    EXPECT_EQ(noDisplay.err,
              "Maroket behöver en grafisk skärm (DISPLAY eller WAYLAND_DISPLAY saknas).\n");
    // A platform without a display, as Qt's option or its variable, opens the window.
    EXPECT_EQ(run("--exit-when-shown -platform offscreen").status, 0);
    EXPECT_EQ(run("--exit-when-shown", "QT_QPA_PLATFORM=offscreen").status, 0);
}

// The help and the errors speak the window's language: --language, else the setting, else the
// desktop's.
TEST(CCommandLine, HelpAndErrorsSpeakTheChosenLanguage) {
    const std::string swedish = CStartOptions::helpText();
    const Outcome english = run("--help", "LANG=en_GB.UTF-8");
    EXPECT_EQ(english.out.rfind("Usage: maroket [OPTIONS] [Qt options]\n", 0), 0u) << english.out;
    EXPECT_NE(english.out.find("--language LANG"), std::string::npos);
    EXPECT_EQ(run("--language=sv -h", "LANG=en_GB.UTF-8").out, swedish);

    const std::string settings = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/english.conf";
    std::ofstream(settings) << "[Maroket]\nLanguage=en\n";
    EXPECT_EQ(run("--settings " + settings + " --help").out, english.out);

    const Outcome unknown = run("--language fr", "LANG=de_DE.UTF-8");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "maroket: unknown language: fr (sv or en)\n\n" + english.out);
}

} // namespace
