#pragma once

#include "platform/CReadAhead.h"
#include "platform/CTcpStream.h"

struct bio_st;
struct ssl_st;

// A TLS connection over a CTcpStream, from its first byte (connect) or on a connection that has
// spoken plain text until the server agreed to TLS (startOn). The handshake shares the connect
// limit; the server's certificate must chain to the system's store (which honours SSL_CERT_FILE
// and SSL_CERT_DIR) and name the host or address that was dialled; TLS 1.2 is the least taken.
// The TLS engine reads and writes memory buffers that this class moves to and from the socket,
// so every wait is the TCP stream's bounded poll with the wait hook, and a peer that has gone
// cannot raise SIGPIPE. Above connect() it behaves like the plain stream.
class CTlsStream : public IStream {
public:
    explicit CTlsStream(SocketTimeouts timeouts = {}) : tcp_(timeouts) {}
    ~CTlsStream() override;
    CTlsStream(const CTlsStream&) = delete;
    CTlsStream& operator=(const CTlsStream&) = delete;

    bool connect(const std::string& host, int port) override;
    // Takes over the connected plain stream (left closed) and starts TLS on it for host, with
    // the same checks as connect(); false, closed, with connectFailure() saying why otherwise.
    // Bytes the server sent ahead of the handshake could not be told from protected ones, so
    // a stream holding any is refused.
    bool startOn(CTcpStream& plain, const std::string& host);
    bool send(std::string_view bytes) override;
    IoStatus sendStatus() const override { return sendStatus_; }
    IoResult receive(char* into, std::size_t max) override;
    void awaitData(std::size_t want, const std::function<bool(std::string_view)>& holdsEnd,
                   int maxMs) override;
    // Decrypts what the socket holds: records that carry no data (a session ticket) do not
    // count.
    bool hasArrived() override;
    void close() override;
    bool isOpen() const override { return ssl_ != nullptr && tcp_.isOpen(); }
    std::string lastError() const override { return lastError_; }
    ConnectFailure connectFailure() const override { return connectFailure_; }

private:
    // The engine, the handshake and the checks on a connected tcp_; closed on failure.
    bool secure(const std::string& host, CClock::TimePoint deadline);
    bool startEngine(const std::string& host);
    bool handshake(CClock::TimePoint deadline);
    void refuse(ConnectFailure why, const std::string& reason);
    // Puts what the engine has written on the wire.
    bool flush(CClock::TimePoint deadline);
    // Hands what the socket has to the engine.
    IoStatus fill(CClock::TimePoint deadline);
    // Decrypts what has arrived into ahead_, without waiting; false once nothing more will.
    bool pullAhead(std::size_t want);

    CTcpStream tcp_;
    ssl_st* ssl_ = nullptr;
    bio_st* in_ = nullptr; // both owned by ssl_
    bio_st* out_ = nullptr;
    bool broken_ = false; // after a fatal TLS error no close_notify may follow
    std::string lastError_;
    IoStatus sendStatus_ = IoStatus::Ok;
    ConnectFailure connectFailure_ = ConnectFailure::Unspecified;
    CReadAhead ahead_; // decrypted, not yet handed out
};
