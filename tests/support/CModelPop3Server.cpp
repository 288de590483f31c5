#include "support/CModelPop3Server.h"

#include "support/CModelStream.h"

#include <algorithm>
#include <sstream>
#include <utility>

namespace {

// Dot-stuffed lines of a message, each with CR LF.
std::string stuffed(const std::string& text) {
    std::string out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '.')
            out += '.';
        out += line + "\r\n";
    }
    return out;
}

} // namespace

std::string CModelPop3Server::Message::text() const {
    return "From: " + from + "\r\nSubject: " + subject + "\r\nX-Model-Uid: " + uid + "\r\n\r\n" +
           body + "\r\n";
}

namespace {

// One session on the model's mailbox: the messages as they stood at login, the deletions
// marked in it, and the commands' answers.
class CModelPop3Session : public IModelPeer {
public:
    explicit CModelPop3Session(CModelPop3Server& server) : server_(server) {}

    bool open(std::string& reply) override {
        reply = "+OK model ready\r\n";
        return true;
    }

    bool line(const std::string& text, std::string& reply) override {
        const std::string command = text.substr(0, text.find_first_of("\r\n"));
        if (server_.onCommand)
            server_.onCommand(command);
        const bool drop = ++server_.commands == server_.dropAtCommand;
        if (drop) {
            if (command == "QUIT" && server_.commitBeforeDrop && inTransaction_)
                commit();
            return false; // gone without a word; without QUIT nothing was deleted
        }
        const bool stays = answer(command, reply);
        if (server_.commands == server_.faultAtCommand)
            reply = faulty(reply);
        return stays;
    }

    void receiving() override {
        if (server_.onReceive)
            server_.onReceive();
    }

    void closed() override {
        if (inTransaction_)
            server_.inSession = false;
        inTransaction_ = false;
    }

private:
    std::string faulty(const std::string& reply) const {
        using Fault = CModelPop3Server::ReplyFault;
        switch (server_.replyFault) {
        case Fault::Lose:
            return {};
        case Fault::Double:
            return reply + reply;
        case Fault::StrayLine:
            return "+OK\r\n" + reply;
        case Fault::StrayBlock:
            return "+OK\r\nFrom: Stray <s@example.org>\r\nSubject: Stray\r\n\r\n.\r\n" + reply;
        }
        return reply;
    }

    // The listing as the next UIDL fault has it; lines are "n id".
    std::string uidlReply(std::vector<std::string> lines) {
        using Fault = CModelPop3Server::UidlFault;
        const Fault fault = std::exchange(server_.nextUidl, Fault::None);
        server_.listedUids = fault == Fault::None;
        if (fault == Fault::Refused)
            return "-ERR unknown command\r\n";
        if (!lines.empty()) {
            const std::string first = lines[0].substr(lines[0].find(' ') + 1);
            if (fault == Fault::Repeated)
                lines.push_back(lines.size() > 1 ? "2 " + first : lines[0]);
            if (fault == Fault::Blank || fault == Fault::EightBit || fault == Fault::Long)
                lines[0] += fault == Fault::Blank  ? " x"
                            : fault == Fault::Long ? std::string(70, 'x')
                                                   : "\xE5";
            if (fault == Fault::Extra)
                lines.push_back(std::to_string(lines.size() + 1) + " extra");
            if (fault == Fault::Missing)
                lines.pop_back();
        }
        std::string out = fault == Fault::RefusedThenListed ? "-ERR\r\n+OK\r\n" : "+OK\r\n";
        for (const std::string& line : lines)
            out += line + "\r\n";
        return out + ".\r\n";
    }

    bool answer(const std::string& command, std::string& reply) {
        std::istringstream words(command);
        std::string verb;
        long n = 0;
        words >> verb >> n;
        if (verb == "USER") {
            reply = "+OK\r\n";
        } else if (verb == "CAPA") { // before and after the login alike
            reply = server_.listsPipelining ? "+OK\r\nTOP\r\nUIDL\r\nPIPELINING\r\n.\r\n"
                                            : "+OK\r\nTOP\r\nUIDL\r\n.\r\n";
        } else if (verb == "PASS") {
            if (server_.inSession) {
                reply = "-ERR [IN-USE] mailbox in use, try again\r\n";
                return true;
            }
            server_.inSession = inTransaction_ = true;
            server_.listedUids = false;
            messages_ = server_.mailbox;
            deleted_.assign(messages_.size(), false);
            reply = "+OK\r\n";
        } else if (!inTransaction_) {
            reply = "-ERR log in first\r\n";
        } else if (verb == "QUIT") {
            commit();
            reply = "+OK bye\r\n";
            return false;
        } else {
            reply = transaction(verb, n);
        }
        return true;
    }

    std::string transaction(const std::string& verb, long n) {
        if (verb == "STAT") {
            std::size_t count = 0, octets = 0;
            for (std::size_t i = 0; i < messages_.size(); ++i)
                if (!deleted_[i]) {
                    ++count;
                    octets += messages_[i].text().size();
                }
            return "+OK " + std::to_string(count) + " " + std::to_string(octets) + "\r\n";
        }
        if (verb == "LIST" || verb == "UIDL") {
            if (verb == "UIDL" && !server_.answersUidl &&
                server_.nextUidl != CModelPop3Server::UidlFault::RefusedThenListed)
                return "-ERR unknown command\r\n";
            std::vector<std::string> lines;
            for (std::size_t i = 0; i < messages_.size(); ++i)
                if (!deleted_[i])
                    lines.push_back(std::to_string(i + 1) + " " +
                                    (verb == "LIST" ? std::to_string(messages_[i].text().size())
                                                    : messages_[i].uid));
            if (verb == "UIDL")
                return uidlReply(std::move(lines));
            std::string out = "+OK\r\n";
            for (const std::string& line : lines)
                out += line + "\r\n";
            return out + ".\r\n";
        }
        if (verb == "NOOP")
            return "+OK\r\n";
        if (verb == "RSET") {
            std::fill(deleted_.begin(), deleted_.end(), false);
            return "+OK\r\n";
        }
        if (n < 1 || n > static_cast<long>(messages_.size()) ||
            deleted_[static_cast<std::size_t>(n - 1)])
            return "-ERR no such message\r\n";
        const CModelPop3Server::Message& m = messages_[static_cast<std::size_t>(n - 1)];
        if (verb == "DELE") {
            const auto& refused = server_.refuseDeleOf;
            if (std::find(refused.begin(), refused.end(), m.uid) != refused.end())
                return server_.liesAboutRefusals ? "+OK\r\n" : "-ERR message is locked\r\n";
            deleted_[static_cast<std::size_t>(n - 1)] = true;
            return "+OK\r\n";
        }
        if (verb == "RETR")
            return "+OK\r\n" + stuffed(m.text()) + ".\r\n";
        if (verb == "TOP") {
            const std::string text = m.text();
            return "+OK\r\n" + stuffed(text.substr(0, text.find("\r\n\r\n") + 2)) + "\r\n.\r\n";
        }
        return "-ERR unknown command\r\n";
    }

    void commit() {
        std::vector<CModelPop3Server::Message> kept;
        for (const auto& m : server_.mailbox) {
            bool gone = false;
            for (std::size_t i = 0; i < messages_.size(); ++i)
                gone = gone || (deleted_[i] && messages_[i].uid == m.uid);
            if (!gone)
                kept.push_back(m);
        }
        server_.mailbox = std::move(kept);
    }

    CModelPop3Server& server_;
    std::vector<CModelPop3Server::Message> messages_;
    std::vector<bool> deleted_;
    bool inTransaction_ = false;
};

} // namespace

std::unique_ptr<IStream> CModelPop3Server::createStream(StreamSecurity) {
    return std::make_unique<CModelStream>(std::make_unique<CModelPop3Session>(*this));
}

const CModelPop3Server::Message& CModelPop3Server::deliver(const std::string& from,
                                                           const std::string& subject,
                                                           const std::string& body) {
    mailbox.push_back({"uid-" + std::to_string(nextUid_++), from, subject, body});
    return mailbox.back();
}

bool CModelPop3Server::removeByOtherClient(int n) {
    if (inSession || n < 1 || n > static_cast<int>(mailbox.size()))
        return false;
    mailbox.erase(mailbox.begin() + (n - 1));
    return true;
}
