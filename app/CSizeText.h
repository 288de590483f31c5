#pragma once

#include <string>

// A byte count as the list and the status line show it.
class CSizeText {
public:
    // Above 1 048 576 "%5.2f MB", above 1 024 "%3.2f kB", otherwise "%4.0f bytes"; always with a
    // full stop as the decimal sign, whatever the desktop's locale.
    static std::string formatSize(double bytes);
};
