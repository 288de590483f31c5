#pragma once

#include <string>

// The window layer shows the core's rare message boxes (titled "Maroket"). Text in UTF-8.
class IMessageBoxHost {
public:
    virtual ~IMessageBoxHost() = default;
    virtual void showMessage(const std::string& text) = 0;
};
