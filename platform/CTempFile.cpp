#include "platform/CTempFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

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

bool CTempFile::path(std::string& out, std::string& error) {
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
    out = folder + "/pop.tmp";
    return true;
}
