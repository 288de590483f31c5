#pragma once

#include "platform/IStream.h"
#include "support/CFakeScript.h"

#include <memory>

// An in-memory stream that plays one script.
class CFakeStream : public IStream {
public:
    explicit CFakeStream(std::shared_ptr<CFakeScript> script) : script_(std::move(script)) {}
    // The same conversation going on under TLS, or closed where the script refuses it.
    std::unique_ptr<IStream> startTls();

    bool connect(const std::string&, int) override { return open_ = script_->connect(failure_); }
    bool send(std::string_view bytes) override { return open_ && script_->send(bytes); }
    IoResult receive(char* into, std::size_t max) override;
    bool hasArrived() override { return open_ && script_->hasArrived(); }
    void awaitData(std::size_t want, const std::function<bool(std::string_view)>& holdsEnd,
                   int) override {
        if (open_)
            script_->awaitData(want, holdsEnd);
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    std::string lastError() const override { return "scripted"; }
    ConnectFailure connectFailure() const override { return failure_; }

private:
    std::shared_ptr<CFakeScript> script_;
    bool open_ = false;
    ConnectFailure failure_ = ConnectFailure::Unspecified;
};
