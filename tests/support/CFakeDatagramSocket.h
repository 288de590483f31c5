#pragma once

#include "platform/IDatagramSocket.h"

#include <deque>
#include <string>
#include <vector>

// A scripted UDP socket: records every datagram sent with its host and port, and answers each
// receive with the next planned datagram (cut at the receiver's size, as a real socket does) or,
// when none is planned, runs out of time.
class CFakeDatagramSocket : public IDatagramSocket {
public:
    CFakeDatagramSocket& answer(std::string datagram);
    // sendTo fails, as when the host name cannot be resolved.
    CFakeDatagramSocket& refuseSend();

    bool sendTo(const std::string& host, int port, std::string_view datagram) override;
    IoResult receive(char* into, std::size_t max) override;
    std::string lastError() const override { return lastError_; }

    const std::vector<std::string>& sent() const { return sent_; }
    const std::string& host() const { return host_; }
    int port() const { return port_; }
    int receives() const { return receives_; }

private:
    std::deque<std::string> answers_;
    std::vector<std::string> sent_;
    std::string host_;
    std::string lastError_;
    int port_ = -1;
    int receives_ = 0;
    bool refuseSend_ = false;
};
