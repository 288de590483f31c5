#pragma once

#include "resources/StringIds.h"

#include <string>

// The program's Swedish texts by their ids (resources/StringIds.h), in UTF-8, the one encoding
// of every text inside the program. The window may show them in another language: it installs a
// translator, through which every text goes as it is loaded.
class CStringTable {
public:
    // Turns a Swedish text of the table into the language the window shows. count is the number
    // a counted text follows, -1 for every other text.
    using Translator = std::string (*)(const char* swedish, int count);
    // nullptr (the start) shows the Swedish texts as they are.
    static void setTranslator(Translator translate);

    // Empty when the id is unknown.
    static std::string load(StringId id);
    // The text with its "%1" replaced by argument (a port, a name, an option).
    static std::string load(StringId id, const std::string& argument);
    // A text that follows a number, in the form that number needs: "3 brev markerade.", in
    // English "1 message marked." and "3 messages marked.".
    static std::string loadCounted(StringId id, int count);
};
