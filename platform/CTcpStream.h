#pragma once

#include "platform/CClock.h"
#include "platform/CReadAhead.h"
#include "platform/IStream.h"
#include "platform/SocketTimeouts.h"

// A TCP connection. The descriptor is non-blocking underneath; every wait is CPollWait's (the wait
// hook at least every 50 ms, the user's cancel, the step's deadline), and the hook runs when due
// also while bytes move without any wait.
class CTcpStream : public IStream {
public:
    explicit CTcpStream(SocketTimeouts timeouts = {}) : timeouts_(timeouts) {}
    ~CTcpStream() override;
    CTcpStream(const CTcpStream&) = delete;
    CTcpStream& operator=(const CTcpStream&) = delete;

    bool connect(const std::string& host, int port) override;
    bool send(std::string_view bytes) override;
    IoStatus sendStatus() const override { return sendStatus_; }
    IoResult receive(char* into, std::size_t max) override;
    void awaitData(std::size_t want, const std::function<bool(std::string_view)>& holdsEnd,
                   int maxMs) override;
    bool hasArrived() override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    std::string lastError() const override { return lastError_; }
    ConnectFailure connectFailure() const override { return connectFailure_; }

    // The same steps with the caller's deadline, for a layer on top that spends one limit on
    // several of them (a TLS handshake, a record that arrives in pieces).
    bool connectUntil(const std::string& host, int port, CClock::TimePoint deadline);
    bool sendUntil(std::string_view bytes, CClock::TimePoint deadline);
    IoResult receiveUntil(char* into, std::size_t max, CClock::TimePoint deadline);
    const SocketTimeouts& timeouts() const { return timeouts_; }
    // What has arrived, without waiting: Ok with a count (0 when nothing is there), Closed or
    // Failed.
    IoResult receiveAvailable(char* into, std::size_t max);
    // Acknowledges what arrives next without the usual delay.
    void acknowledgeAtOnce();
    int descriptor() const { return fd_; }
    // Takes over other's connection, leaving other closed: for a TLS layer that starts on a
    // connection already in use. Bytes other has read ahead come along.
    void adopt(CTcpStream& other);
    // Bytes taken from the connection and not yet handed out.
    bool hasReadAhead() const { return !ahead_.empty(); }

private:
    int fd_ = -1;
    SocketTimeouts timeouts_;
    std::string lastError_;
    ConnectFailure connectFailure_ = ConnectFailure::Unspecified;
    IoStatus sendStatus_ = IoStatus::Ok;
    CReadAhead ahead_; // gathered between the receives of a long reply
};
