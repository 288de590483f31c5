#pragma once

#include "resources/StringIds.h"

#include <string>

// The program's Swedish texts by their ids (resources/StringIds.h). The source is UTF-8; load()
// hands the text out in ISO-8859-1, the one encoding of every text the core composes.
class CStringTable {
public:
    // Empty when the id is unknown.
    static std::string load(StringId id);
};
