// The CAPA answer: STLS, PIPELINING and the SASL line's OAUTHBEARER are seen whatever comes
// before them, whether the answer is read whole or piece by piece as it arrives, which keeps
// nothing of it.
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

// A line whose first word is SASL names OAUTHBEARER among the words after it.
bool referenceOAuthBearer(std::string_view data) {
    const auto upper = [](std::string word) {
        for (char& c : word)
            c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        return word;
    };
    std::size_t at = 0;
    while (at <= data.size()) {
        const std::size_t end = std::min(data.find('\n', at), data.size());
        const std::string_view line = data.substr(at, end - at);
        std::vector<std::string> words(1);
        for (char c : line) {
            if (c == ' ' || c == '\t' || c == '\r')
                words.emplace_back();
            else
                words.back() += c;
        }
        if (upper(words.front()) == "SASL")
            for (std::size_t i = 1; i < words.size(); ++i)
                if (upper(words[i]) == "OAUTHBEARER")
                    return true;
        at = end + 1;
    }
    return false;
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
    FUZZ_CHECK(scan.oauthBearer() == referenceOAuthBearer(answer));
    return 0;
}
