#include "support/CFakeDatagramSocket.h"

#include <algorithm>

CFakeDatagramSocket& CFakeDatagramSocket::answer(std::string datagram) {
    answers_.push_back(std::move(datagram));
    return *this;
}

CFakeDatagramSocket& CFakeDatagramSocket::refuseSend() {
    refuseSend_ = true;
    return *this;
}

bool CFakeDatagramSocket::sendTo(const std::string& host, int port, std::string_view datagram) {
    host_ = host;
    port_ = port;
    if (refuseSend_) {
        lastError_ = "scripted: send refused";
        return false;
    }
    sent_.emplace_back(datagram);
    return true;
}

IoResult CFakeDatagramSocket::receive(char* into, std::size_t max) {
    ++receives_;
    if (sent_.empty()) {
        lastError_ = "nothing was sent";
        return {0, IoStatus::Failed};
    }
    if (answers_.empty()) {
        lastError_ = "scripted: no answer in time";
        return {0, IoStatus::TimedOut};
    }
    const std::string datagram = std::move(answers_.front());
    answers_.pop_front();
    const std::size_t count = std::min(max, datagram.size());
    std::copy_n(datagram.data(), count, into);
    return {count, IoStatus::Ok};
}
