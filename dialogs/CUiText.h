#pragma once

#include <QString>

#include <string>

// The one place where the core's text and the window's QStrings meet. Text inside the program
// is UTF-8 both ways; bytes from outside were made text where they came in.
class CUiText {
public:
    // UTF-8 to QString; a sequence that is not UTF-8 shows as the replacement character.
    static QString toQString(const std::string& bytes);
    // Every character as UTF-8: nothing typed is replaced or dropped.
    static std::string toBytes(const QString& text);
};
