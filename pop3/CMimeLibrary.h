#pragma once

typedef struct _GMimeParserOptions GMimeParserOptions;

// The MIME library the core reads mail with: started once, on first use, from whichever thread
// comes first, and never shut down (its type registrations and charset tables live as long as
// the process).
class CMimeLibrary {
public:
    // Starts the library if it has not been started; safe from any thread.
    static void ready();
    // How the program parses MIME structure: 8-bit text of an unknown charset read as UTF-8,
    // else Windows-1252. Shared, never changed.
    static GMimeParserOptions* parserOptions();
};
