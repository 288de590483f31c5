// The encoded-word decoder alone: bytes the fuzzer chooses, written as one or two adjacent words
// in B or Q (padded or not, the split anywhere) between plain texts, come back as those bytes
// read in the declared charset; any text is decoded to text, and one without "=?" is kept.
#include "FuzzCheck.h"
#include "pop3/CCharset.h"
#include "pop3/CEncodedWords.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

namespace {

constexpr std::string_view kCharsets[] = {"utf-8", "ISO-8859-1", "windows-1252", "koi8-r",
                                          "x-okand"};

std::string encodedWord(std::string_view charset, std::string_view bytes, bool base64,
                        bool padded) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string word = "=?" + std::string(charset) + (base64 ? "?B?" : "?q?");
    if (!base64) {
        for (char c : bytes) {
            const auto b = static_cast<unsigned char>(c);
            word += c == ' ' ? std::string("_") : std::string{'=', kHex[b >> 4], kHex[b & 15]};
        }
        return word + "?=";
    }
    return word + fuzz::base64(bytes, padded) + "?=";
}

// Plain text that cannot form or end a word.
std::string plain(std::string text) {
    std::erase_if(text, [](char c) { return c == '=' || c == '?'; });
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const std::string_view charset =
        kCharsets[provider.ConsumeIntegralInRange<std::size_t>(0, std::size(kCharsets) - 1)];
    const bool base64 = provider.ConsumeBool(), padded = provider.ConsumeBool();
    const std::string before = plain(provider.ConsumeRandomLengthString(200));
    const std::string after = plain(provider.ConsumeRandomLengthString(200));
    const std::string bytes = provider.ConsumeRandomLengthString(300);
    const std::size_t split = provider.ConsumeIntegralInRange<std::size_t>(0, bytes.size());
    const std::string text = provider.ConsumeRemainingBytesAsString();

    // Adjacent words of one charset are converted together, the white space between them gone.
    const std::string words = encodedWord(charset, bytes.substr(0, split), base64, padded) +
                              " \t " + encodedWord(charset, bytes.substr(split), base64, padded);
    FUZZ_CHECK(CEncodedWords::decode(before + " " + words + " " + after) ==
               before + " " + CCharset::toUtf8(bytes, charset) + " " + after);

    const std::string decoded = CEncodedWords::decode(text);
    if (CCharset::isUtf8(text))
        FUZZ_CHECK(CCharset::isUtf8(decoded));
    if (text.find("=?") == std::string::npos)
        FUZZ_CHECK(decoded == text);
    return 0;
}
