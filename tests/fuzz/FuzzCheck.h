#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

// A property that must hold for every input; a failure is a crash the fuzzer keeps.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property does not hold: %s\n", __FILE__, __LINE__,        \
                         #condition);                                                              \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace fuzz {

inline std::string_view asText(const unsigned char* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Every downloaded-message file of a fuzz run goes to a folder of its own, removed at the end.
inline void usePrivateRuntimeFolder() {
    static const std::string folder = [] {
        std::string dir = "/tmp/maroket-fuzz-XXXXXX";
        if (!::mkdtemp(dir.data()))
            return std::string{};
        static std::string removeAtExit = dir;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(removeAtExit, ignored);
        });
        return dir;
    }();
    if (!folder.empty())
        ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
}

} // namespace fuzz
