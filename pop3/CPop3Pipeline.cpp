#include "pop3/CPop3Pipeline.h"

#include "pop3/CPop3Connection.h"

#include <algorithm>

bool CPop3Pipeline::hasRoom() const {
    // A TOP or DELE line is well under 32 bytes.
    constexpr std::size_t kLongestLine = 32;
    return outstanding_.empty() ||
           (pipelining_ && outstanding_.size() < limit_ && expectedBytes_ < kMostReplyBytes &&
            outstandingBytes_ + kLongestLine <= kMostLineBytes);
}

bool CPop3Pipeline::write(CPop3Connection& connection, const Command& command,
                          std::string_view line) {
    if (!connection.send(command.kind, line, !outstanding_.empty()))
        return false;
    outstanding_.push_back(command);
    outstanding_.back().bytes = line.size();
    outstandingBytes_ += line.size();
    expectedBytes_ += command.expected;
    return true;
}

bool CPop3Pipeline::writeAlone(CPop3Connection& connection, ReplyKind kind, std::string_view line) {
    return outstanding_.empty() && connection.send(kind, line, false);
}

CPop3Pipeline::Command CPop3Pipeline::take() {
    // A window that was full by its count while the answers expected left room: the link
    // could carry more.
    if (outstanding_.size() >= limit_ && expectedBytes_ < kMostReplyBytes)
        limit_ = std::min(limit_ + 1, kMostCommands);
    const Command command = outstanding_.front();
    outstanding_.pop_front();
    outstandingBytes_ -= command.bytes;
    expectedBytes_ -= command.expected;
    return command;
}

void CPop3Pipeline::stalled() {
    limit_ = std::max(limit_ / 2, kFewestCommands);
}

void CPop3Pipeline::clear() {
    outstanding_.clear();
    outstandingBytes_ = 0;
    expectedBytes_ = 0;
    limit_ = kStartCommands;
    pipelining_ = false;
}
