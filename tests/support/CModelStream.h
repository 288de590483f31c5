#pragma once

#include "platform/IStream.h"

#include <functional>
#include <memory>
#include <string>

// The far end of an in-memory connection whose server is a model rather than a script: every
// line the client completes goes to the model, which answers at once. A receive with nothing
// to read is a server that has nothing to say: it runs out of time.
class IModelPeer {
public:
    virtual ~IModelPeer() = default;
    // The greeting; false refuses the connection.
    virtual bool open(std::string& reply) = 0;
    // One line from the client, line end included. False: the server closes the connection
    // after sending reply.
    virtual bool line(const std::string& text, std::string& reply) = 0;
    // The connection ended, by either side.
    virtual void closed() = 0;
    // The client is about to receive bytes that are waiting.
    virtual void receiving() {}
};

class CModelStream : public IStream {
public:
    explicit CModelStream(std::unique_ptr<IModelPeer> peer) : peer_(std::move(peer)) {}
    ~CModelStream() override { close(); }
    CModelStream(const CModelStream&) = delete;
    CModelStream& operator=(const CModelStream&) = delete;

    bool connect(const std::string& host, int port) override;
    bool send(std::string_view bytes) override;
    IoResult receive(char* into, std::size_t max) override;
    bool hasArrived() override { return open_ && !out_.empty(); }
    void close() override;
    bool isOpen() const override { return open_; }
    std::string lastError() const override { return "model"; }

private:
    void end();

    std::unique_ptr<IModelPeer> peer_;
    std::string in_;
    std::string out_;
    bool open_ = false;
    bool peerClosed_ = false;
};
