#pragma once

#include "platform/IStream.h"

#include <string>

// The status text of a failed connect, shared by both sessions: "Kan inte ansluta." and why, as
// far as the user can act on it (the name that does not exist, the port the server refused, the
// seconds nobody answered in, a network without a way there, the TLS layer's refusal). The
// user's own stop reads "Avbrutet av användaren." as for any other stopped wait. Any other
// failure keeps the bare text.
class CConnectFailureText {
public:
    static std::string of(ConnectFailure why, const std::string& host = {}, int port = 0);
};
