#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// Every test program gets a private runtime folder, so the downloaded-message file of one run
// never meets another's.
int main(int argc, char** argv) {
    std::string dir = "/tmp/maroket-test-XXXXXX";
    if (::mkdtemp(dir.data()))
        ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    int rc = RUN_ALL_TESTS();
    std::string cleanup = "rm -rf '" + dir + "'";
    (void)std::system(cleanup.c_str());
    return rc;
}
