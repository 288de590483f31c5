#pragma once

#include <string>

// The per-user settings store: named integer and text values in the program's section.
class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    virtual int readInt(const std::string& name, int fallback) = 0;
    virtual std::string readString(const std::string& name, const std::string& fallback) = 0;
    virtual void writeInt(const std::string& name, int value) = 0;
    virtual void writeString(const std::string& name, const std::string& value) = 0;
};
