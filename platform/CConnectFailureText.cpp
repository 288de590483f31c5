#include "platform/CConnectFailureText.h"

#include "resources/CStringTable.h"

namespace {

constexpr int kCannotConnect = 143;
constexpr int kUntrustedCertificate = 708;
constexpr int kNameMismatch = 709;
constexpr int kHandshakeFailed = 710;

int reasonId(ConnectFailure why) {
    switch (why) {
    case ConnectFailure::UntrustedCertificate:
        return kUntrustedCertificate;
    case ConnectFailure::NameMismatch:
        return kNameMismatch;
    case ConnectFailure::HandshakeFailed:
        return kHandshakeFailed;
    case ConnectFailure::Unspecified:
        break;
    }
    return 0;
}

} // namespace

std::string CConnectFailureText::of(ConnectFailure why) {
    std::string text = CStringTable::load(kCannotConnect);
    if (const int id = reasonId(why))
        text += " " + CStringTable::load(id);
    return text;
}
