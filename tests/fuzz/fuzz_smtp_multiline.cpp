// The reader of whole SMTP replies, fed the server's bytes in pieces the fuzzer cuts: it ends
// at the first line that does not go on, keeps at most kKeptMax bytes of it, marks bytes after
// it, reads an EHLO offer's keywords and login mechanisms from what it kept, and sees STARTTLS
// on any of its lines.
#include "FuzzCheck.h"
#include "send/CSmtpReply.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

bool sameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The lines after the first, without code and line end.
std::vector<std::string> offerLines(std::string_view text) {
    std::vector<std::string> lines;
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string line(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!first && line.size() > 4)
            lines.push_back(line.substr(4));
        first = false;
    }
    return lines;
}

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> found(1);
    for (char c : line) {
        if (c != ' ' && c != '\t' && c != '=')
            found.back() += c;
        else if (!found.back().empty())
            found.emplace_back();
    }
    if (found.back().empty())
        found.pop_back();
    return found;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const std::vector<std::size_t> lengths = fuzz::pieces(provider);
    const std::string keyword = provider.ConsumeRandomLengthString(12);
    const std::string stream = provider.ConsumeRemainingBytesAsString();

    CSmtpReply reply;
    fuzz::feedInPieces(stream, lengths, [&](std::string_view piece) { reply.feed(piece); });

    // The end: after the first whole line whose fourth byte is not "-".
    std::size_t end = std::string::npos;
    for (std::size_t at = 0; at < stream.size();) {
        const std::size_t lineEnd = stream.find('\n', at);
        if (lineEnd == std::string::npos)
            break;
        if (lineEnd - at + 1 < 4 || stream[at + 3] != '-') {
            end = lineEnd + 1;
            break;
        }
        at = lineEnd + 1;
    }
    const std::size_t taken = std::min(end, stream.size());
    FUZZ_CHECK(reply.complete() == (end != std::string::npos));
    FUZZ_CHECK(reply.text() == stream.substr(0, std::min(taken, CSmtpReply::kKeptMax)));
    FUZZ_CHECK(reply.hasTrailing() == (taken < stream.size()));

    // A keyword is what a line starts with, up to a blank or "="; a mechanism any word after
    // a first word "AUTH".
    bool listed = false, mechanism = false;
    for (const std::string& line : offerLines(reply.text())) {
        listed = listed || sameWord(line.substr(0, line.find_first_of(" \t=")), keyword);
        const std::vector<std::string> found = words(line);
        if (!found.empty() && sameWord(found.front(), "AUTH"))
            for (std::size_t i = 1; i < found.size(); ++i)
                mechanism = mechanism || sameWord(found[i], keyword);
    }
    FUZZ_CHECK(reply.lists(keyword) == listed);
    FUZZ_CHECK(reply.listsAuth(keyword) == mechanism);

    // STARTTLS is seen on any line of the reply, however much of it was kept.
    if (reply.complete()) {
        bool startTls = false;
        for (const std::string& line : offerLines(stream.substr(0, taken)))
            startTls = startTls || sameWord(line.substr(0, line.find_first_of(" \t=")), "STARTTLS");
        FUZZ_CHECK(reply.offersStartTls() == startTls);
    }
    return 0;
}
