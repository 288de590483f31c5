#include "support/CFakeStream.h"

std::unique_ptr<IStream> CFakeStream::startTls() {
    auto next = std::make_unique<CFakeStream>(script_);
    next->failure_ = open_ ? script_->startTls() : ConnectFailure::HandshakeFailed;
    next->open_ = next->failure_ == ConnectFailure::Unspecified;
    open_ = false;
    return next;
}

IoResult CFakeStream::receive(char* into, std::size_t max) {
    if (!open_)
        return {0, IoStatus::Failed};
    IoResult r = script_->receive(into, max);
    if (r.status == IoStatus::Closed)
        open_ = false;
    return r;
}
