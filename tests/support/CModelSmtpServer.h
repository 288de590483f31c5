#pragma once

#include "platform/ISocketFactory.h"

#include <string>
#include <vector>

// An SMTP server as a model: takes every command, and takes or refuses each message at the end
// of its data as the test decides. Keeps what it took.
class CModelSmtpServer : public ISocketFactory {
public:
    std::unique_ptr<IStream> createStream(StreamSecurity security) override;
    std::unique_ptr<IDatagramSocket> createDatagramSocket() override { return nullptr; }

    // The answer to the next message's end of data: taken, or refused with this line.
    bool refuseNext = false;
    std::string refusal = "554 5.7.1 message refused\r\n";
    // The data of every message taken, as it came.
    std::vector<std::string> taken;
};
