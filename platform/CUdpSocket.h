#pragma once

#include "platform/IDatagramSocket.h"

// A UDP socket connected to one peer, so that only that peer's answer is taken.
class CUdpSocket : public IDatagramSocket {
public:
    explicit CUdpSocket(int receiveMs = 5000) : receiveMs_(receiveMs) {}
    ~CUdpSocket() override;
    CUdpSocket(const CUdpSocket&) = delete;
    CUdpSocket& operator=(const CUdpSocket&) = delete;

    bool sendTo(const std::string& host, int port, std::string_view datagram) override;
    IoResult receive(char* into, std::size_t max) override;
    std::string lastError() const override { return lastError_; }

private:
    int fd_ = -1;
    int receiveMs_;
    std::string lastError_;
};
