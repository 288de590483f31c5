#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

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

// Base64 of bytes, with or without its padding, and a line break after every lineBytes bytes
// of input when that is not 0.
inline std::string base64(std::string_view bytes, bool padded = true, std::size_t lineBytes = 0) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned value = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            value |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            value |= static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[(value >> 18) & 63];
        out += kAlphabet[(value >> 12) & 63];
        if (i + 1 < bytes.size() || padded)
            out += i + 1 < bytes.size() ? kAlphabet[(value >> 6) & 63] : '=';
        if (i + 2 < bytes.size() || padded)
            out += i + 2 < bytes.size() ? kAlphabet[value & 63] : '=';
        if (lineBytes && (i + 3) % lineBytes == 0)
            out += "\r\n";
    }
    return out;
}

// The lengths of up to 16 receives, which the fuzzer chooses.
inline std::vector<std::size_t> pieces(FuzzedDataProvider& provider) {
    std::vector<std::size_t> lengths(provider.ConsumeIntegralInRange<std::size_t>(0, 16));
    for (std::size_t& length : lengths)
        length = provider.ConsumeIntegralInRange<std::size_t>(0, 100000);
    return lengths;
}

// Hands text to feed in pieces of those lengths, and what is left in one.
template <class Feed>
void feedInPieces(std::string_view text, const std::vector<std::size_t>& lengths, Feed feed) {
    for (std::size_t length : lengths) {
        feed(text.substr(0, length));
        text.remove_prefix(std::min(length, text.size()));
    }
    feed(text);
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
