#pragma once

#include "platform/CSocketFactory.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Real sockets that remember every command line the program sent, for counting what reached a
// real server; an optional hook sees each send as it happens. Where TLS starts on a connection,
// kTlsStarted is noted among the lines.
class CRecordingSocketFactory : public ISocketFactory {
public:
    static constexpr const char* kTlsStarted = "(TLS starts)";

    std::unique_ptr<IStream> createStream(StreamSecurity security) override;
    std::unique_ptr<IDatagramSocket> createDatagramSocket() override {
        return inner_.createDatagramSocket();
    }
    std::unique_ptr<IStream> startTls(std::unique_ptr<IStream> plain,
                                      const std::string& host) override;

    // Sent lines that begin with this command word ("TOP", "DELE", ...).
    int count(const std::string& command) const;
    void clear() { sent_.clear(); }
    const std::vector<std::string>& sent() const { return sent_; }
    void onSend(std::function<void(const std::string&)> hook) { hook_ = std::move(hook); }

private:
    friend class CRecordingStream;
    CSocketFactory inner_;
    std::vector<std::string> sent_;
    std::function<void(const std::string&)> hook_;
};
