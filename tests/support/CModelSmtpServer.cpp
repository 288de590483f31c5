#include "support/CModelSmtpServer.h"

#include "support/CModelStream.h"

namespace {

class CModelSmtpSession : public IModelPeer {
public:
    explicit CModelSmtpSession(CModelSmtpServer& server) : server_(server) {}

    bool open(std::string& reply) override {
        reply = "220 model ESMTP\r\n";
        return true;
    }

    bool line(const std::string& text, std::string& reply) override {
        if (inData_) {
            if (text != ".\r\n") {
                data_ += text;
                return true;
            }
            inData_ = false;
            if (server_.refuseNext) {
                server_.refuseNext = false;
                reply = server_.refusal;
            } else {
                server_.taken.push_back(data_);
                reply = "250 2.0.0 queued\r\n";
            }
            return true;
        }
        if (text.starts_with("DATA")) {
            inData_ = true;
            data_.clear();
            reply = "354 end with .\r\n";
        } else if (text.starts_with("QUIT")) {
            reply = "221 bye\r\n";
            return false;
        } else {
            reply = "250 ok\r\n";
        }
        return true;
    }

    void closed() override {}

private:
    CModelSmtpServer& server_;
    bool inData_ = false;
    std::string data_;
};

} // namespace

std::unique_ptr<IStream> CModelSmtpServer::createStream(StreamSecurity) {
    return std::make_unique<CModelStream>(std::make_unique<CModelSmtpSession>(*this));
}
