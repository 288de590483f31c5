#pragma once

#include "pop3/ReplyKind.h"

#include <chrono>
#include <cstddef>
#include <deque>
#include <string_view>

class CPop3Connection;

// The commands written to a POP3 server whose answers have not been read, in order, and how many
// may be: one at a time, or, where the server pipelines, a window of commands written ahead of
// their answers. Each answer is handed back with the command it answers. A command whose answer
// is read at once is refused while others are outstanding: their answers come first.
//
// The window is sized by the link: it starts at kStartCommands, grows by one command for every
// answer read while it was full (so it doubles each round trip the link stays busy), up to
// kMostCommands and as long as the answers expected stay under kMostReplyBytes, and halves after
// an answer that took longer than kStall to come.
class CPop3Pipeline {
public:
    static constexpr std::size_t kStartCommands = 64;
    static constexpr std::size_t kMostCommands = 1024;
    static constexpr std::size_t kFewestCommands = 8;
    // The answers' bytes the commands on their way are expected to bring.
    static constexpr std::size_t kMostReplyBytes = 256 * 1024;
    // The command lines on their way: far below what the server's receive buffer takes.
    static constexpr std::size_t kMostLineBytes = 32 * 1024;
    static constexpr auto kStall = std::chrono::milliseconds(500);

    struct Command {
        ReplyKind kind;
        int message = 0;          // TOP's or DELE's
        std::size_t bytes = 0;    // of its line
        bool proof = false;       // the STAT that proves a run in step
        double listed = -1;       // TOP's: the message's size, where LIST gave it
        std::size_t expected = 0; // the bytes its answer is expected to bring (set by write)
    };

    // The server of this connection pipelines, and the user allows it.
    void setPipelining(bool on) { pipelining_ = on; }
    bool pipelining() const { return pipelining_; }

    // Room for one more command: always when none is outstanding, with pipelining while the
    // window has room for it.
    bool hasRoom() const;
    bool idle() const { return outstanding_.empty(); }
    std::size_t outstanding() const { return outstanding_.size(); }
    // How many commands may be on their way now.
    std::size_t limit() const { return limit_; }
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
    // A header block came with this many bytes: the next are expected to be about as long.
    void noteHeaderBlock(std::size_t bytes) { headerEstimate_ = (headerEstimate_ * 7 + bytes) / 8; }
    // The connection is gone: no answer will come.
    void clear();

private:
    std::size_t expectedOf(const Command& command) const;

    std::deque<Command> outstanding_;
    std::chrono::steady_clock::time_point lastTake_;
    bool timing_ = false; // an answer is awaited since lastTake_
    std::size_t headerEstimate_ = 2048;
    std::size_t outstandingBytes_ = 0;
    std::size_t expectedBytes_ = 0;
    std::size_t limit_ = kStartCommands;
    bool pipelining_ = false;
};
