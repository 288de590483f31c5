#include "pop3/CMimeLibrary.h"

#include <gmime/gmime.h>

namespace {

GMimeParserOptions* startOnce() {
    g_mime_init();
    GMimeParserOptions* options = g_mime_parser_options_new();
    const char* fallback[] = {"UTF-8", "windows-1252", nullptr};
    g_mime_parser_options_set_fallback_charsets(options, fallback);
    g_mime_parser_options_set_rfc2047_compliance_mode(options, GMIME_RFC_COMPLIANCE_LOOSE);
    return options;
}

GMimeParserOptions* started() {
    // A function-local static starts exactly once, whichever threads ask at the same time.
    static GMimeParserOptions* const options = startOnce();
    return options;
}

} // namespace

void CMimeLibrary::ready() {
    started();
}

GMimeParserOptions* CMimeLibrary::parserOptions() {
    return started();
}
