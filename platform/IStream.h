#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// How a socket call ended. Cancelled: the user stopped the operation while the call waited.
enum class IoStatus { Ok, Closed, TimedOut, Failed, Cancelled };

// Why connect() failed, as far as the user can act on it: the name, the server's refusal, the
// silence, the network, the user's own stop, or TLS refusing the server. Unspecified for any
// other reason, which lastError() describes.
enum class ConnectFailure {
    Unspecified,
    UntrustedCertificate,
    NameMismatch,
    HandshakeFailed,
    UnknownHost,
    Refused,
    TimedOut,
    Unreachable,
    Cancelled
};

struct IoResult {
    std::size_t count = 0; // bytes received; above 0 only with IoStatus::Ok
    IoStatus status = IoStatus::Ok;
};

// A blocking byte stream to one server. The real one is a TCP connection, plain or TLS; tests
// hand in an in-memory one. Every wait is bounded and runs the wait hook, so the window keeps
// painting. Above connect() a TLS stream behaves exactly like a plain one.
class IStream {
public:
    virtual ~IStream() = default;

    // Host name, dotted IPv4 or IPv6 address.
    virtual bool connect(const std::string& host, int port) = 0;
    // Sends the whole buffer or fails.
    virtual bool send(std::string_view bytes) = 0;
    // After a send that failed: Cancelled when the user stopped it while it waited for room,
    // anything else when the connection failed.
    virtual IoStatus sendStatus() const { return IoStatus::Failed; }
    // Waits for at least one byte and returns at most max bytes.
    virtual IoResult receive(char* into, std::size_t max) = 0;
    // Between the receives of a long reply: lets the bytes on their way arrive, at most maxMs,
    // so that the next receive is a large one; returns as soon as want bytes are waiting or
    // holdsEnd, shown each newly arrived piece once and in order, says they end the reply. The
    // next receive hands them out. A stream
    // that has everything at once (in memory) returns at once.
    virtual void awaitData(std::size_t /*want*/,
                           const std::function<bool(std::string_view)>& /*holdsEnd*/,
                           int /*maxMs*/) {}
    // Bytes have arrived that no receive has handed out yet; never waits. An ended connection
    // is not counted: the next receive reports it.
    virtual bool hasArrived() { return false; }
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // The system's reason for the last failure, for logs and messages.
    virtual std::string lastError() const = 0;
    // After a failed connect().
    virtual ConnectFailure connectFailure() const { return ConnectFailure::Unspecified; }
};
