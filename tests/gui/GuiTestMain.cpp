#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <string>

// Widgets need a QApplication for the whole run; without a display the offscreen platform does.
// The runtime and settings folders are private, as for every test program, so runs never share the
// downloaded-message file.
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
        rc = RUN_ALL_TESTS();
    }
    if (privateDir) {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    return rc;
}
