#pragma once

#include <string>

// The window layer shows a text in the content window ("Innehåll") and returns when the user
// has closed it. Text in UTF-8.
class IContentHost {
public:
    virtual ~IContentHost() = default;
    virtual void showContent(const std::string& text) = 0;
};
