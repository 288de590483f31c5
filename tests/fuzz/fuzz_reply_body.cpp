// The text a reply quotes, taken from the retrieved message.
#include "FuzzCheck.h"
#include "dialogs/CQuoting.h"
#include "pop3/CCharset.h"

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

std::vector<std::string> linesOf(FuzzedDataProvider& provider) {
    std::vector<std::string> lines(provider.ConsumeIntegralInRange<std::size_t>(0, 8));
    for (std::string& line : lines) {
        line = provider.ConsumeRandomLengthString(80);
        std::erase_if(line, [](char c) { return c == '\r' || c == '\n'; });
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);

    // Any file and any header length: never a read outside the file, always text.
    {
        const std::size_t headerLength = provider.ConsumeIntegralInRange<std::size_t>(0, 600);
        const std::string file = provider.ConsumeRandomLengthString(600);
        auto bytes = std::make_unique<char[]>(file.size());
        file.copy(bytes.get(), file.size());
        const std::string body =
            CQuoting::replyBody(std::string_view(bytes.get(), file.size()), headerLength);
        FUZZ_CHECK(CCharset::isUtf8(body));
        FUZZ_CHECK(body.size() <= 3 * file.size());
    }

    // A plain message without MIME header lines, as RETR leaves it; TOP with 0 lines gave the
    // header block and the terminating line. The quoted text is the body as written, read as
    // UTF-8 or Windows-1252, without zero bytes and without the line ends at its end.
    std::vector<std::string> header = linesOf(provider);
    for (std::size_t i = 0; i < header.size(); ++i) {
        std::erase_if(header[i], [](char c) { return c == '\0' || (c & 0x80) != 0; });
        header[i] = "X-Field-" + std::to_string(i) + ": " + header[i];
    }
    const std::vector<std::string> body = linesOf(provider);
    const std::string retrieved = stuffed(header) + "\r\n" + stuffed(body) + ".\r\n";
    const std::size_t topLength = stuffed(header).size() + 2 + 3;
    std::string expected;
    for (const std::string& line : body)
        expected += line + "\r\n";
    expected = CCharset::fromUnknown(expected);
    std::erase(expected, '\0');
    while (expected.ends_with("\r\n"))
        expected.resize(expected.size() - 2);
    FUZZ_CHECK(CQuoting::replyBody(retrieved, topLength) == expected);
    return 0;
}
