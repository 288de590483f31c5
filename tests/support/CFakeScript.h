#pragma once

#include <deque>
#include <functional>
#include <string>
#include <string_view>

#include "platform/IStream.h"

// One scripted conversation with a server, in order: what the client must send, what each
// receive gets, where the connection drops or stalls. A test must see the whole script used.
class CFakeScript {
public:
    // The connect fails, for the reason given.
    CFakeScript& refuseConnect(ConnectFailure why = ConnectFailure::Unspecified);
    // The client must send exactly these bytes next (over one or more sends).
    CFakeScript& client(std::string bytes);
    // What the server sends as one chunk: a receive returns at most the rest of it and never
    // joins it with the next chunk.
    CFakeScript& server(std::string bytes);
    // The server closes the connection: the next receive reports it.
    CFakeScript& drop();
    // The server stops answering: the next receive runs out of time.
    CFakeScript& stall();
    // The server stops answering and the user's Avbryt ends the next receive's wait.
    CFakeScript& cut();
    // Runs when the conversation reaches this point.
    CFakeScript& action(std::function<void()> fn);
    // The client starts TLS here (after STARTTLS or STLS): it succeeds, or fails as why says.
    CFakeScript& tls(ConnectFailure why = ConnectFailure::Unspecified);

    bool finished() const { return steps_.empty() && deviation_.empty(); }
    // What went differently from the script, and what is left of it.
    std::string report() const;
    const std::string& sent() const { return sent_; }
    int receives() const { return receives_; }

    // Used by the stream.
    bool connect(ConnectFailure& why);
    // Unspecified when the script lets TLS start here.
    ConnectFailure startTls();
    bool send(std::string_view bytes);
    IoResult receive(char* into, std::size_t max);
    // The server's next step is bytes: they wait for the client before it sends anything.
    bool hasArrived() const;
    // The read-ahead between two receives: the server's next chunks arrive, each a piece shown
    // to holdsEnd, until want bytes are there or holdsEnd sees the reply's end. When the server
    // then waits for the client (or has nothing more) with the reply's end unseen, a real stream
    // would wait out its time for nothing: that counts as a needless wait.
    void awaitData(std::size_t want, const std::function<bool(std::string_view)>& holdsEnd);
    int needlessWaits() const { return needlessWaits_; }

private:
    enum class Kind { RefuseConnect, Client, Server, Drop, Stall, Cut, Action, Tls };
    struct Step {
        Kind kind;
        std::string bytes;
        std::function<void()> fn;
        ConnectFailure failure = ConnectFailure::Unspecified;
    };
    void runActions();
    void deviate(const std::string& what);

    std::deque<Step> steps_;
    std::string deviation_;
    std::string sent_;
    int receives_ = 0;
    int needlessWaits_ = 0;
};
