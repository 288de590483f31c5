#pragma once

#include "resources/TranslatableText.h"

#include <string>
#include <string_view>

// What the dialogs accept in an integer field, and the two refusal texts. Shared by the settings
// dialog and the marking dialogs so that every integer field behaves alike.
class CIntegerRule {
public:
    // The only English texts of the Swedish user interface, the system's own; another language
    // has them translated (dialogs/CIntegerRefusal).
    static constexpr std::string_view notAnInteger =
        QT_TRANSLATE_NOOP("CIntegerRule", "Please enter an integer.");
    static constexpr std::string_view rangePattern =
        QT_TRANSLATE_NOOP("CIntegerRule", "Please enter an integer between %1 and %2.");

    // Spaces and tabs, an optional sign, base-10 digits, spaces and tabs, nothing else.
    // Refused: no digits at all, a signed zero ("+0", "-00"), anything else around the number,
    // and a number outside the signed 32-bit range (the field cannot hold it, and clipping it
    // would silently store something the user did not type). value is set only on success.
    static bool parse(std::string_view text, int& value);

    // The range text with %1 and %2 filled in: "Please enter an integer between 1 and 10.";
    // pattern is rangePattern or its translation.
    static std::string rangeMessage(int low, int high, std::string_view pattern = rangePattern);
};
