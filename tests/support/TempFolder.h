#pragma once

#include "platform/CTempFile.h"

#include <filesystem>
#include <string>

// How many files the per-user folder of downloaded messages holds; -1 when it cannot be made.
inline int filesInTempFolder() {
    std::string folder, error;
    if (!CTempFile::folder(folder, error))
        return -1;
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}
