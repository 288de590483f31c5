// The preview's quoted-printable decoding and its cut at the end of the data.
#include "FuzzCheck.h"
#include "pop3/CHeaderDecoder.h"

#include <string>

namespace {

// The slow in-place replacement the decoder must agree with.
std::string referenceCodes(std::string text, std::size_t from) {
    for (std::size_t at = text.find('=', from); at != std::string::npos && at + 2 < text.size();
         at = text.find('=', at + 1)) {
        if (unsigned char byte = CHeaderDecoder::decodeHexPair(text[at + 1], text[at + 2]))
            text.replace(at, 3, 1, static_cast<char>(byte));
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string text(fuzz::asText(data, size));

    // From the start (the reply's body) and from the second character (the preview).
    for (std::size_t from : {std::size_t{0}, std::size_t{1}}) {
        std::string decoded = text;
        CHeaderDecoder::decodeCodes(decoded, from);
        FUZZ_CHECK(decoded == referenceCodes(text, from));
        FUZZ_CHECK(decoded.size() <= text.size());
        FUZZ_CHECK(decoded.compare(0, from, text, 0, from) == 0);
    }

    const std::string shown = CHeaderDecoder::previewText(text);
    const bool quotedPrintable = text.find("quoted-printable") != std::string::npos;
    std::string expected = quotedPrintable ? referenceCodes(text, 1) : text;
    expected = expected.substr(0, expected.find("\r\n.\r\n"));
    FUZZ_CHECK(shown == expected);
    // Nothing after the end of the data is shown, even when a code spelled the terminator.
    FUZZ_CHECK(shown.find("\r\n.\r\n") == std::string::npos);
    return 0;
}
