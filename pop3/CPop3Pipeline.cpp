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
    outstanding_.back().expected = expectedOf(command);
    outstandingBytes_ += line.size();
    expectedBytes_ += outstanding_.back().expected;
    return true;
}

std::size_t CPop3Pipeline::expectedOf(const Command& command) const {
    // A short answer (STAT, DELE) brings a line; a listing counts as a good part of the budget,
    // though nothing else comes before it ends anyway; a header block is no longer than its
    // message, and about as long as the last ones.
    constexpr std::size_t kShortAnswer = 32;
    constexpr double kListing = 16 * 1024;
    switch (command.kind) {
    case ReplyKind::Top:
        return static_cast<std::size_t>(std::clamp(command.listed >= 0 ? command.listed : kListing,
                                                   0.0, static_cast<double>(headerEstimate_))) +
               kShortAnswer;
    case ReplyKind::List:
    case ReplyKind::Uidl:
        return static_cast<std::size_t>(kListing);
    default:
        return kShortAnswer;
    }
}

bool CPop3Pipeline::writeAlone(CPop3Connection& connection, ReplyKind kind, std::string_view line) {
    return outstanding_.empty() && connection.send(kind, line, false);
}

CPop3Pipeline::Command CPop3Pipeline::take() {
    // The answer before this one was long in coming: fewer commands go ahead of their answers.
    const auto now = std::chrono::steady_clock::now();
    if (timing_ && now - lastTake_ > kStall)
        limit_ = std::max(limit_ / 2, kFewestCommands);
    lastTake_ = now;
    timing_ = outstanding_.size() > 1;
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

void CPop3Pipeline::clear() {
    outstanding_.clear();
    outstandingBytes_ = 0;
    expectedBytes_ = 0;
    limit_ = kStartCommands;
    timing_ = false;
    pipelining_ = false;
}
