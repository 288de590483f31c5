// The quoted body of a reply.
#include "FuzzCheck.h"
#include "dialogs/CQuoting.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view text = fuzz::asText(data, size);
    const std::string quoted = CQuoting::quote(text);

    // The slow in-place insertion it replaces.
    std::string reference = "> " + std::string(text);
    for (std::size_t p = reference.find('\n', 1); p != std::string::npos;
         p = reference.find('\n', p + 1))
        reference.insert(p + 1, "> ");
    FUZZ_CHECK(quoted == reference);

    // Every line starts with the mark, and taking the marks away gives the text back.
    std::string back;
    std::size_t start = 0;
    for (;;) {
        FUZZ_CHECK(quoted.compare(start, 2, "> ") == 0);
        const std::size_t end = quoted.find('\n', start);
        back.append(quoted, start + 2, end == std::string::npos ? end : end + 1 - start - 2);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    FUZZ_CHECK(back == text);
    return 0;
}
