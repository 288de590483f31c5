#pragma once

#include <QString>

#include <string>

// The one place where the core's byte strings and the window's QStrings meet.
class CUiText {
public:
    // UTF-8 when the bytes are valid UTF-8 with at least one multi-byte sequence (a server or a
    // user may well send UTF-8), otherwise ISO-8859-1, the core's own encoding.
    static QString toQString(const std::string& bytes);
    // ISO-8859-1; every character outside it becomes one "?".
    static std::string toBytes(const QString& text);
};
