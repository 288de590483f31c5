// The end-of-data test, fed the data block cut into receives at the fuzzer's choice.
#include "FuzzCheck.h"
#include "pop3/CEndOfData.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    std::vector<std::size_t> cuts(provider.ConsumeIntegralInRange<std::size_t>(0, 24));
    for (std::size_t& cut : cuts)
        cut = provider.ConsumeIntegralInRange<std::size_t>(0, 300);
    const std::string stream = provider.ConsumeRemainingBytesAsString();

    CEndOfData end;
    std::string kept;
    std::size_t at = 0;
    for (std::size_t i = 0; i <= cuts.size(); ++i) {
        const std::size_t length =
            i < cuts.size() ? std::min(cuts[i], stream.size() - at) : stream.size() - at;
        // Each receive in a block of exactly its size, so a read past it is caught.
        auto chunk = std::make_unique<char[]>(length);
        stream.copy(chunk.get(), length, at);
        const bool wasComplete = end.complete();
        const std::size_t used = end.feed(std::string_view(chunk.get(), length));
        FUZZ_CHECK(used <= length);
        FUZZ_CHECK(!wasComplete || used == 0);
        FUZZ_CHECK(end.complete() || used == length);
        kept.append(chunk.get(), used);
        at += length;
    }

    // The block follows a status line that ended in CR LF: the reference searches the whole
    // stream behind that line end.
    const std::size_t terminator = ("\r\n" + stream).find("\r\n.\r\n");
    if (terminator == std::string::npos) {
        FUZZ_CHECK(!end.complete());
        FUZZ_CHECK(kept == stream);
    } else {
        FUZZ_CHECK(end.complete());
        FUZZ_CHECK(kept == stream.substr(0, terminator + 3));
    }
    return 0;
}
