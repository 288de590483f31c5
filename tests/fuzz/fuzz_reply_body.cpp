// The body a reply quotes, taken from the retrieved message below its header block.
#include "FuzzCheck.h"
#include "dialogs/CQuoting.h"
#include "pop3/CHeaderDecoder.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Lines as a POP3 server sends them: CR LF after each, a leading dot doubled.
std::string stuffed(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines)
        out += (line.starts_with('.') ? "." : "") + line + "\r\n";
    return out;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines)
        out += line + "\r\n";
    return out;
}

std::vector<std::string> linesOf(FuzzedDataProvider& provider, bool nonEmpty) {
    std::vector<std::string> lines(provider.ConsumeIntegralInRange<std::size_t>(0, 8));
    for (std::string& line : lines) {
        line = provider.ConsumeRandomLengthString(80);
        std::erase_if(line, [](char c) { return c == '\r' || c == '\n'; });
        if (nonEmpty && line.empty())
            line = "X";
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);

    // Any file and any header length: never a read outside the file, never more than it holds.
    {
        const std::size_t headerLength = provider.ConsumeIntegralInRange<std::size_t>(0, 600);
        const std::string file = provider.ConsumeRandomLengthString(600);
        auto bytes = std::make_unique<char[]>(file.size());
        file.copy(bytes.get(), file.size());
        const std::string body =
            CQuoting::replyBody(std::string_view(bytes.get(), file.size()), headerLength);
        FUZZ_CHECK(body.size() <= file.size());
    }

    // A well-formed message: the header lines, the empty line, the body, the terminating line,
    // as RETR leaves it; TOP with 0 lines gave the header block and the terminating line. The
    // quoted text is the body as written, without its last line end.
    const std::vector<std::string> header = linesOf(provider, true);
    const std::vector<std::string> body = linesOf(provider, false);
    const std::string retrieved = stuffed(header) + "\r\n" + stuffed(body) + ".\r\n";
    const std::size_t topLength = stuffed(header).size() + 2 + 3;
    std::string expected = joined(body);
    if (!expected.empty())
        expected.resize(expected.size() - 2);
    if (retrieved.find("quoted-printable") != std::string::npos)
        CHeaderDecoder::decodeCodes(expected, 0);
    FUZZ_CHECK(CQuoting::replyBody(retrieved, topLength) == expected);
    return 0;
}
