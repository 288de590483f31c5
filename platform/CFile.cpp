#include "platform/CFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool CFile::openForWrite(const std::string& path) {
    close();
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd_ < 0)
        errorText_ = std::strerror(errno);
    return fd_ >= 0;
}

bool CFile::openForRead(const std::string& path) {
    close();
    fd_ = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ < 0)
        errorText_ = std::strerror(errno);
    return fd_ >= 0;
}

bool CFile::write(std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            errorText_ = std::strerror(n < 0 ? errno : EIO);
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

long long CFile::read(char* into, std::size_t max) {
    for (;;) {
        ssize_t n = ::read(fd_, into, max);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            errorText_ = std::strerror(errno);
        return n;
    }
}

long long CFile::size() const {
    struct stat st {};
    return ::fstat(fd_, &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

void CFile::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool CFile::remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}
