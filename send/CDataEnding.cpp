#include "send/CDataEnding.h"

void CDataEnding::feed(std::string_view bytes) {
    if (bytes.size() >= 5) {
        tail_.assign(bytes.substr(bytes.size() - 5));
        return;
    }
    tail_.append(bytes);
    if (tail_.size() > 5)
        tail_.erase(0, tail_.size() - 5);
}

std::string_view CDataEnding::terminator() const {
    if (tail_ == "\r\n.\r\n")
        return {};
    if (tail_.ends_with("\r\n"))
        return ".\r\n";
    return "\r\n.\r\n";
}
