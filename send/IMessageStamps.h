#pragma once

#include <string>
#include <string_view>

// What makes each composed message its own: the moment it is sent and a name no other message
// has. The session holds the real one (CMessageStamps); tests hand in fixed ones.
class IMessageStamps {
public:
    virtual ~IMessageStamps() = default;
    // The Date header's text for a message sent now.
    virtual std::string date() = 0;
    // A Message-ID, angle brackets included, that no other message has, ending in domain (which
    // the caller has made fit for it).
    virtual std::string messageId(std::string_view domain) = 0;
};
