#pragma once

#include "resources/StringIds.h"

#include <string>

// The program's Swedish texts by their ids (resources/StringIds.h), in UTF-8, the one encoding
// of every text inside the program.
class CStringTable {
public:
    // Empty when the id is unknown.
    static std::string load(StringId id);
    // The text with its "%1" replaced by argument (a port, a name, an option).
    static std::string load(StringId id, const std::string& argument);
};
