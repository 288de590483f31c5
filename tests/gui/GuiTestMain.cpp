#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>

#include <cstdlib>
#include <filesystem>
#include <string>

// Widgets need a QApplication for the whole run; without a display the offscreen platform does.
// The runtime and settings folders are private, as for every test program, so runs never share the
// downloaded-message file. --point-size=N gives the application that font size, as a desktop set
// for larger text would.
int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::string dir = "/tmp/maroket-test-XXXXXX";
    const bool privateDir = ::mkdtemp(dir.data()) != nullptr;
    if (privateDir) {
        ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
        // Settings written by the tests stay in the private folder too.
        ::setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    }

    int rc = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        for (int i = 1; i < argc; ++i) {
            const std::string arg = argv[i];
            if (arg.rfind("--point-size=", 0) == 0) {
                QFont font = QApplication::font();
                font.setPointSize(std::stoi(arg.substr(13)));
                QApplication::setFont(font);
            }
        }
        rc = RUN_ALL_TESTS();
    }
    if (privateDir) {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    return rc;
}
