// The CAPA answer: STLS and PIPELINING are seen whatever comes before them, whether the answer is
// read whole or piece by piece as it arrives, which keeps nothing of it.
#include "FuzzCheck.h"
#include "pop3/CReplyParser.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

// A line's first word, up to a blank, tab or CR, is the capability; its case does not count.
bool reference(std::string_view data, std::string_view capability) {
    std::size_t at = 0;
    for (;;) {
        const std::size_t end = std::min(data.find('\n', at), data.size());
        std::string word(data.substr(at, end - at));
        word = word.substr(0, word.find_first_of(" \t\r"));
        for (char& c : word)
            c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        if (word == capability)
            return true;
        if (end == data.size())
            return false;
        at = end + 1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const std::vector<std::size_t> lengths = fuzz::pieces(provider);
    const std::string answer = provider.ConsumeRemainingBytesAsString();

    CReplyParser::CapabilityScan scan;
    fuzz::feedInPieces(answer, lengths, [&](std::string_view piece) { scan.feed(piece); });

    const bool stls = reference(answer, "STLS"), pipelining = reference(answer, "PIPELINING");
    FUZZ_CHECK(CReplyParser::listsCapability(answer, "STLS") == stls);
    FUZZ_CHECK(CReplyParser::listsCapability(answer, "PIPELINING") == pipelining);
    FUZZ_CHECK(scan.stls() == stls);
    FUZZ_CHECK(scan.pipelining() == pipelining);
    return 0;
}
