#pragma once

#include "platform/IStream.h"

#include <string>

// The status text of a failed connect, shared by both sessions: "Kan inte ansluta." and, when
// the TLS layer refused the server, why. Any other failure keeps the bare text.
class CConnectFailureText {
public:
    static std::string of(ConnectFailure why);
};
