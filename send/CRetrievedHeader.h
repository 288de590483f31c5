#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The header block of a retrieved message (a TOP reply, or the file RETR wrote), read for what a
// reply or a forward takes from the message itself: the list's row may name another message by
// now, when another client changed the mailbox since the rows were read.
class CRetrievedHeader {
public:
    // How much of a file is read for its header block at most.
    static constexpr std::size_t kHeaderMax = 1 << 20;

    // The value of the first field called name (case ignored) that starts a line of the header
    // block (everything before the first empty line), its continuation lines joined and the
    // white space around it removed; the bytes as sent. False when there is none.
    static bool field(std::string_view message, std::string_view name, std::string& value);
    // The envelope address of the From field: what its last angle brackets hold, else its first
    // word; empty without one.
    static std::string senderAddress(std::string_view message);
    // The same for the message in a file; empty when it cannot be read.
    static std::string senderAddressOfFile(const std::string& path);
};
