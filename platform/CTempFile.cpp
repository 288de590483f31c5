#include "platform/CTempFile.h"

#include "platform/CFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

std::string folderPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime == '/')
        return std::string(runtime) + "/maroket";
    const char* tmp = std::getenv("TMPDIR");
    std::string base = tmp && *tmp == '/' ? tmp : "/tmp";
    return base + "/maroket-" + std::to_string(::geteuid());
}

// Whoever may write to the folder's parent may rename our folder away and put one of their own
// in its place. A shared parent is safe only when it is sticky (as /tmp is), so that nobody
// renames what is not theirs; a parent of our own is safe when nobody else may write to it.
bool parentIsSafe(const std::string& folder, std::string& error) {
    const std::size_t slash = folder.rfind('/');
    const std::string parent = folder.substr(0, slash == 0 ? 1 : slash);
    struct stat st {};
    if (::stat(parent.c_str(), &st) != 0) {
        error = parent + ": " + std::strerror(errno);
        return false;
    }
    const bool sticky = (st.st_mode & S_ISVTX) != 0;
    const bool closedToOthers = (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
    if ((st.st_uid == 0 && sticky) || (st.st_uid == ::geteuid() && (sticky || closedToOthers)))
        return true;
    error = parent + ": mappen kan ändras av andra användare";
    return false;
}

} // namespace

CTempFile::CTempFile(CTempFile&& other) noexcept
    : path_(std::exchange(other.path_, {})), device_(other.device_), inode_(other.inode_) {}

CTempFile& CTempFile::operator=(CTempFile&& other) noexcept {
    if (this != &other) {
        remove();
        path_ = std::exchange(other.path_, {});
        device_ = other.device_;
        inode_ = other.inode_;
    }
    return *this;
}

bool CTempFile::folder(std::string& out, std::string& error) {
    const std::string folder = folderPath();
    if (!parentIsSafe(folder, error))
        return false;
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = folder + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) {
        error = folder + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
        error = folder + ": mappen tillhör inte dig";
        return false;
    }
    if ((st.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) {
        error = folder + ": " + std::strerror(errno);
        return false;
    }
    out = folder;
    return true;
}

bool CTempFile::create(CFile& file, std::string& error) {
    remove();
    // A second try covers another of the user's programs removing the empty folder at its exit
    // between our check and the file.
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::string folder;
        if (!CTempFile::folder(folder, error))
            return false;
        std::string name = folder + "/message-XXXXXX";
        // A new name of our own each time, made with O_EXCL: nothing planted is ever opened.
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0) {
            error = folder + ": " + std::strerror(errno);
            if (errno == ENOENT)
                continue;
            return false;
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0 || ::fchmod(fd, 0600) != 0) {
            error = name + ": " + std::strerror(errno);
            ::close(fd);
            ::unlink(name.c_str());
            return false;
        }
        path_ = std::move(name);
        device_ = st.st_dev;
        inode_ = st.st_ino;
        file.adopt(fd);
        return true;
    }
    return false;
}

void CTempFile::remove() {
    if (path_.empty())
        return;
    // A consumer may have removed it already; then whatever has that name now is not ours.
    struct stat st {};
    if (::lstat(path_.c_str(), &st) == 0 && st.st_dev == device_ && st.st_ino == inode_)
        ::unlink(path_.c_str());
    path_.clear();
}

void CTempFile::removeFolderIfEmpty() {
    ::rmdir(folderPath().c_str());
}
