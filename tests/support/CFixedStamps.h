#pragma once

#include "send/IMessageStamps.h"

#include <string>

// Stamps that are the same for every message, so that a test can name a message's bytes.
class CFixedStamps : public IMessageStamps {
public:
    static constexpr const char* kDate = "Tue, 8 Dec 2026 10:00:00 +0100";

    std::string date() override { return kDate; }
    std::string messageId(std::string_view domain) override {
        return "<1@" + std::string(domain) + ">";
    }

    // The header block's first lines: X-Mailer and the date.
    static std::string start() {
        return std::string("X-Mailer: Velmo 1.0\r\nDate: ") + kDate + "\r\n";
    }
};
