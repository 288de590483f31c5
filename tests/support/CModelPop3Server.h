#pragma once

#include "platform/ISocketFactory.h"

#include <functional>
#include <string>
#include <vector>

// A POP3 server as a model: a mailbox that holds messages with unique ids, one session at a
// time, deletions that take effect only at QUIT, and faults on demand: a connection that drops
// at a given command (before or, for QUIT, after committing), a reply lost, sent twice or
// preceded by one nobody asked for, a UIDL refused or listed wrongly, a DELE refused. Another
// client may change the mailbox while no session holds it.
class CModelPop3Server : public ISocketFactory {
public:
    struct Message {
        std::string uid;
        std::string from;
        std::string subject;
        std::string body;
        // The message as the server stores it, CR LF line ends.
        std::string text() const;
    };

    std::unique_ptr<IStream> createStream(StreamSecurity security) override;
    std::unique_ptr<IDatagramSocket> createDatagramSocket() override { return nullptr; }

    // A new message with a fresh unique id, at the end of the mailbox.
    const Message& deliver(const std::string& from, const std::string& subject,
                           const std::string& body);
    // Another client removes message n (1-based); false while a session holds the mailbox.
    bool removeByOtherClient(int n);

    std::vector<Message> mailbox;
    bool answersUidl = true;
    bool listsPipelining = true;
    // The command count (over all sessions) at which the connection drops; 0: never. A QUIT at
    // that count is committed before the drop when commitBeforeDrop is set.
    long dropAtCommand = 0;
    bool commitBeforeDrop = false;
    // What befalls the reply to the command at faultAtCommand (over all sessions; 0: none).
    enum class ReplyFault { Lose, Double, StrayLine, StrayBlock };
    long faultAtCommand = 0;
    ReplyFault replyFault = ReplyFault::Lose;
    // How the next UIDL is answered, once: refused (then listed anyway), or listed with a
    // repeated id, an id with a blank, an 8-bit or overlong id, a line too many or too few.
    enum class UidlFault {
        None,
        Refused,
        RefusedThenListed,
        Repeated,
        Blank,
        EightBit,
        Long,
        Extra,
        Missing
    };
    UidlFault nextUidl = UidlFault::None;
    // The session in progress has listed the ids as they are.
    bool listedUids = false;
    // DELE of a message whose id is listed here is refused, in words too unless the server lies.
    std::vector<std::string> refuseDeleOf;
    bool liesAboutRefusals = false;
    // Sees every command before it is answered, and every receive of waiting bytes.
    std::function<void(const std::string&)> onCommand;
    std::function<void()> onReceive;

    long commands = 0;
    bool inSession = false;

private:
    long nextUid_ = 1;
};
