#include "platform/CFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kNotOurs[] = "filen tillhör inte dig eller är ingen vanlig fil";

} // namespace

bool CFile::open(const std::string& path, int flags) {
    close();
    // Never through a link, and never waiting on a pipe that someone left at the path.
    const int fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) {
        errorText_ = std::strerror(errno);
        return false;
    }
    // Only our own plain file with no other name: truncating a second name of another file
    // would destroy that file, and reading one would send it on.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 ||
        st.st_uid != ::geteuid()) {
        errorText_ = kNotOurs;
        ::close(fd);
        return false;
    }
    fd_ = fd;
    if ((flags & O_WRONLY) && (::ftruncate(fd_, 0) != 0 || ::fchmod(fd_, 0600) != 0)) {
        errorText_ = std::strerror(errno);
        close();
        return false;
    }
    return true;
}

bool CFile::openForWrite(const std::string& path) {
    return open(path, O_WRONLY | O_CREAT);
}

bool CFile::openForRead(const std::string& path) {
    return open(path, O_RDONLY);
}

void CFile::adopt(int fd) {
    close();
    fd_ = fd;
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
