#pragma once

#include "send/IMessageStamps.h"

#include <ctime>
#include <string>
#include <string_view>

// The real stamps: the local time with its offset from UTC, and ids made of the time, the
// process id, 64 random bits from the system and a count within the process.
class CMessageStamps : public IMessageStamps {
public:
    std::string date() override;
    std::string messageId(std::string_view domain) override;

    // An RFC 5322 date-time, "Tue, 8 Dec 2026 10:00:00 +0100", from a broken-down local time and
    // its offset east of UTC in seconds. The day and month names are English whatever the
    // locale: a mail reader parses them, never translates them.
    static std::string formatDate(const std::tm& local, long offsetSeconds);
    // The right-hand side of a Message-ID for a sender address: its domain (after the last "@")
    // when that is a dot-atom of ASCII letters, digits and the other characters RFC 5322 allows,
    // otherwise "localhost", so that the id is valid whatever was typed.
    static std::string idDomain(std::string_view senderAddress);
};
