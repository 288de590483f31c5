#include "support/CModelStream.h"

#include <algorithm>
#include <cstring>

bool CModelStream::connect(const std::string&, int) {
    std::string greeting;
    if (!peer_->open(greeting))
        return false;
    open_ = true;
    out_ = std::move(greeting);
    return true;
}

bool CModelStream::send(std::string_view bytes) {
    if (!open_ || peerClosed_)
        return false;
    in_.append(bytes);
    for (std::size_t lf = in_.find('\n'); lf != std::string::npos && !peerClosed_;
         lf = in_.find('\n')) {
        const std::string text = in_.substr(0, lf + 1);
        in_.erase(0, lf + 1);
        std::string reply;
        const bool stays = peer_->line(text, reply);
        out_ += reply;
        if (!stays)
            end();
    }
    return true;
}

IoResult CModelStream::receive(char* into, std::size_t max) {
    if (!open_)
        return {0, IoStatus::Failed};
    if (out_.empty())
        return {0, peerClosed_ ? IoStatus::Closed : IoStatus::TimedOut};
    peer_->receiving();
    const std::size_t n = std::min(max, out_.size());
    std::memcpy(into, out_.data(), n);
    out_.erase(0, n);
    return {n, IoStatus::Ok};
}

void CModelStream::close() {
    if (open_ && !peerClosed_)
        end();
    open_ = false;
}

void CModelStream::end() {
    peerClosed_ = true;
    in_.clear();
    peer_->closed();
}
