#include "platform/CConnectFailureText.h"

#include "resources/CStringTable.h"
#include "resources/StringIds.h"

namespace {

// The reason after "Kan inte ansluta.", or none.
bool reasonId(ConnectFailure why, StringId& id) {
    switch (why) {
    case ConnectFailure::UntrustedCertificate:
        id = StringId::UntrustedCertificate;
        return true;
    case ConnectFailure::NameMismatch:
        id = StringId::NameMismatch;
        return true;
    case ConnectFailure::HandshakeFailed:
        id = StringId::HandshakeFailed;
        return true;
    case ConnectFailure::Unspecified:
        break;
    }
    return false;
}

} // namespace

std::string CConnectFailureText::of(ConnectFailure why) {
    std::string text = CStringTable::load(StringId::CannotConnect);
    if (StringId id{}; reasonId(why, id))
        text += " " + CStringTable::load(id);
    return text;
}
