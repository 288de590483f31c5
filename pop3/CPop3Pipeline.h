#pragma once

#include "pop3/ReplyKind.h"

#include <cstddef>
#include <deque>
#include <string_view>

class CPop3Connection;

// The commands written to a POP3 server whose answers have not been read, in order, and how many
// may be: one at a time, or, where the server pipelines, a window of commands written ahead of
// their answers. Each answer is handed back with the command it answers. A command whose answer
// is read at once is refused while others are outstanding: their answers come first.
class CPop3Pipeline {
public:
    // With pipelining, this many commands, or this many bytes of them, may be on their way
    // before their answers are read.
    static constexpr std::size_t kWindowCommands = 64;
    static constexpr std::size_t kWindowBytes = 8192;

    struct Command {
        ReplyKind kind;
        int message = 0;       // TOP's or DELE's
        std::size_t bytes = 0; // of its line
        bool proof = false;    // the STAT that proves a run in step
    };

    // The server of this connection pipelines, and the user allows it.
    void setPipelining(bool on) { pipelining_ = on; }
    bool pipelining() const { return pipelining_; }

    // Room for one more command: always when none is outstanding, with pipelining while the
    // window has room for it.
    bool hasRoom() const;
    bool idle() const { return outstanding_.empty(); }
    std::size_t outstanding() const { return outstanding_.size(); }
    // The command whose answer comes next; only when one is outstanding.
    const Command& next() const { return outstanding_.front(); }

    // Writes the command's line; its answer is read in turn. False when the connection did not
    // take it.
    bool write(CPop3Connection& connection, const Command& command, std::string_view line);
    // Writes a command whose answer the caller reads at once. Refused, with nothing written and
    // no text, while answers are outstanding.
    bool writeAlone(CPop3Connection& connection, ReplyKind kind, std::string_view line);
    // The next answer is to be read now: the command it answers.
    Command take();
    // The connection is gone: no answer will come.
    void clear();

private:
    std::deque<Command> outstanding_;
    std::size_t outstandingBytes_ = 0;
    bool pipelining_ = false;
};
