#pragma once

#include "platform/ISettingsStore.h"

#include <map>
#include <string>
#include <vector>

// A settings store in memory that remembers the order of reads and writes.
class CMemorySettingsStore : public ISettingsStore {
public:
    int readInt(const std::string& name, int fallback) override {
        reads.push_back(name);
        auto it = ints.find(name);
        return it == ints.end() ? fallback : it->second;
    }
    std::string readString(const std::string& name, const std::string& fallback) override {
        reads.push_back(name);
        auto it = strings.find(name);
        return it == strings.end() ? fallback : it->second;
    }
    void writeInt(const std::string& name, int value) override {
        writes.push_back(name);
        ints[name] = value;
    }
    void writeString(const std::string& name, const std::string& value) override {
        writes.push_back(name);
        strings[name] = value;
    }

    std::map<std::string, int> ints;
    std::map<std::string, std::string> strings;
    std::vector<std::string> reads;
    std::vector<std::string> writes;
};
