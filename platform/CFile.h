#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A file descriptor that closes itself. Files for writing are made private (0600). Only a plain
// file of our own with a single name is opened: never a symbolic link, a pipe, or a second name
// of some other file.
class CFile {
public:
    CFile() = default;
    ~CFile() { close(); }
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    bool openForWrite(const std::string& path); // create or truncate
    bool openForRead(const std::string& path);
    // Takes over a descriptor already open for writing (a fresh private file).
    void adopt(int fd);
    bool write(std::string_view bytes);
    // Bytes read, 0 at the end, -1 on failure.
    long long read(char* into, std::size_t max);
    long long size() const;
    void close();
    bool isOpen() const { return fd_ >= 0; }

    static bool remove(const std::string& path);
    // The system's description of the last failure.
    const std::string& errorText() const { return errorText_; }

private:
    bool open(const std::string& path, int flags);

    int fd_ = -1;
    std::string errorText_;
};
