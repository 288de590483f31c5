#pragma once

#include <string>

// The one per-user path of the downloaded message: $XDG_RUNTIME_DIR/maroket/pop.tmp, else
// ${TMPDIR:-/tmp}/maroket-<uid>/pop.tmp. The folder is ours alone (0700, owned by us), so nobody
// else can plant a link or read the message, and its parent must keep others from swapping it:
// root's and sticky, or ours and closed to others unless sticky.
class CTempFile {
public:
    // Makes sure the folder exists and is private; false with the reason in error otherwise.
    static bool path(std::string& out, std::string& error);
};
