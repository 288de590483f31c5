#include "support/CRecordingSocketFactory.h"

#include <algorithm>

// Passes everything to a real stream and notes what was sent.
class CRecordingStream : public IStream {
public:
    CRecordingStream(std::unique_ptr<IStream> inner, CRecordingSocketFactory& owner)
        : inner_(std::move(inner)), owner_(owner) {}

    bool connect(const std::string& host, int port) override { return inner_->connect(host, port); }
    // Commands written together are noted one line each.
    bool send(std::string_view bytes) override {
        for (std::string_view rest = bytes; !rest.empty();) {
            const std::size_t end = std::min(rest.find('\n'), rest.size() - 1) + 1;
            owner_.sent_.emplace_back(rest.substr(0, end));
            rest.remove_prefix(end);
            if (owner_.hook_)
                owner_.hook_(owner_.sent_.back());
        }
        return inner_->send(bytes);
    }
    IoStatus sendStatus() const override { return inner_->sendStatus(); }
    IoResult receive(char* into, std::size_t max) override { return inner_->receive(into, max); }
    bool hasArrived() override { return inner_->hasArrived(); }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }
    std::string lastError() const override { return inner_->lastError(); }
    ConnectFailure connectFailure() const override { return inner_->connectFailure(); }
    std::unique_ptr<IStream> takeInner() { return std::move(inner_); }

private:
    std::unique_ptr<IStream> inner_;
    CRecordingSocketFactory& owner_;
};

std::unique_ptr<IStream> CRecordingSocketFactory::createStream(StreamSecurity security) {
    return std::make_unique<CRecordingStream>(inner_.createStream(security), *this);
}

std::unique_ptr<IStream> CRecordingSocketFactory::startTls(std::unique_ptr<IStream> plain,
                                                           const std::string& host) {
    auto* recording = dynamic_cast<CRecordingStream*>(plain.get());
    if (!recording)
        return nullptr;
    sent_.emplace_back(kTlsStarted);
    auto secured = inner_.startTls(recording->takeInner(), host);
    return secured ? std::make_unique<CRecordingStream>(std::move(secured), *this) : nullptr;
}

int CRecordingSocketFactory::count(const std::string& command) const {
    int n = 0;
    for (const std::string& line : sent_)
        if (line.rfind(command + " ", 0) == 0 || line == command + "\r\n")
            ++n;
    return n;
}
