#pragma once

#include <string>
#include <sys/types.h>

class CFile;

// A private file of one operation: a downloaded message, from the download until whoever uses it
// (a forward, a reply) is done with it. Each is made fresh under a name of its own in the
// per-user folder ($XDG_RUNTIME_DIR/maroket, else ${TMPDIR:-/tmp}/maroket-<uid>), so that two
// operations, or two programs of one user, never write into each other's file. The folder is
// ours alone (0700, owned by us), so nobody else can plant a link or read the message, and its
// parent must keep others from swapping it: root's and sticky, or ours and closed to others
// unless sticky. The object owns the file's name and removes the file when it goes.
class CTempFile {
public:
    CTempFile() = default;
    ~CTempFile() { remove(); }
    CTempFile(CTempFile&& other) noexcept;
    CTempFile& operator=(CTempFile&& other) noexcept;
    CTempFile(const CTempFile&) = delete;
    CTempFile& operator=(const CTempFile&) = delete;

    // Makes a new empty file (0600) and hands it to file, open for writing; false with the
    // reason in error otherwise. A file this object held before is removed first.
    bool create(CFile& file, std::string& error);
    // Empty when the object holds no file.
    const std::string& path() const { return path_; }
    bool holdsFile() const { return !path_.empty(); }
    // Removes the file now, unless something else stands under its name by then.
    void remove();

    // The per-user folder, made if missing and kept private; false with the reason in error.
    static bool folder(std::string& out, std::string& error);
    // Removes the folder when nothing is left in it: the program leaves nothing behind, and a
    // folder still in use by another of the user's programs stays.
    static void removeFolderIfEmpty();

private:
    std::string path_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
};
