#include "platform/CConnectFailureText.h"

#include "platform/SocketTimeouts.h"
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
    case ConnectFailure::UnknownHost:
        id = StringId::UnknownHostName;
        return true;
    case ConnectFailure::Refused:
        id = StringId::ServerRefused;
        return true;
    case ConnectFailure::TimedOut:
        id = StringId::NoAnswerWithin;
        return true;
    case ConnectFailure::Unreachable:
        id = StringId::ServerUnreachable;
        return true;
    case ConnectFailure::Cancelled:
    case ConnectFailure::Unspecified:
        break;
    }
    return false;
}

} // namespace

std::string CConnectFailureText::of(ConnectFailure why, const std::string& host, int port) {
    if (why == ConnectFailure::Cancelled)
        return CStringTable::load(StringId::CancelledByUser);
    std::string text = CStringTable::load(StringId::CannotConnect);
    StringId id{};
    if (!reasonId(why, id))
        return text;
    std::string argument;
    if (why == ConnectFailure::UnknownHost)
        argument = host;
    else if (why == ConnectFailure::Refused)
        argument = std::to_string(port);
    else if (why == ConnectFailure::TimedOut)
        argument = std::to_string(SocketTimeouts{}.connectMs / 1000);
    return text + " " + CStringTable::load(id, argument);
}
