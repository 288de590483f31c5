#pragma once

#include "platform/ISocketFactory.h"
#include "pop3/ReplyKind.h"
#include "resources/StringIds.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

// One connection to a POP3 server and the bytes on it: a command line out; a reply's status line
// in, judged for "-ERR"; a data block in, piece by piece up to its terminating line, with the
// read-ahead that lets a long reply's bytes gather before each further receive but never waits
// past its end. What arrives after a reply waits for the next one. Every failure leaves its
// text ("<label> <reason>"); one on the wire closes the connection, since what the server sends
// later could not be told from the next reply.
class CPop3Connection {
public:
    // Takes a data block's bytes in order; complete: they end it. False stops the reading.
    using Consume = std::function<bool(std::string_view bytes, bool complete)>;

    // onClose runs whenever the connection closes, by a failure or by close(), so that what the
    // owner knew of it goes with it.
    explicit CPop3Connection(std::function<void()> onClose) : onClose_(std::move(onClose)) {}

    // Connects; false with the reason (and waitWasCut() after the user's stop), closed.
    bool open(ISocketFactory& factory, const std::string& host, int port, StreamSecurity security);
    // TLS on the open connection; false with the reason, the connection unusable.
    bool startTls(ISocketFactory& factory, const std::string& host, int port);
    void close();
    bool isOpen() const { return socket_ && socket_->isOpen(); }

    // Writes one command line. answerDue: an answer to an earlier command is still on its way;
    // without one, anything already received is a reply no command asked for, and the line is
    // not written. A line break inside the line is refused (it would let typed text issue
    // commands of its own).
    bool send(ReplyKind kind, std::string_view line, bool answerDue);
    // The lines sent from here on are gathered and go out together, in one write, at release()
    // or at the next receive, whichever comes first: commands written ahead of their answers
    // then cost the server one packet to read, not one each.
    void hold() { holding_ = true; }
    // Writes what was gathered; false, closed, with kind's label and the reason when it could
    // not. What was gathered is overwritten either way (it may hold a password).
    bool release(ReplyKind kind);
    // Reads a status line; false with the reason when the connection failed. Of an overlong line
    // only the beginning is kept.
    bool readStatusLine(ReplyKind kind, std::string& line);
    // readStatusLine, and a reply beginning "-ERR" is a refusal: false, with the server's words
    // after the label (a refused TOP leaves the text as it was).
    bool readStatus(ReplyKind kind, std::string& line);
    // Reads the data block after a positive status line, handing its bytes to consume in pieces
    // of at most max bytes, up to and including the terminating line. pauseFirst: the read-ahead
    // runs before the first receive too. False when the connection failed (closed, with the
    // reason) or consume stopped it (still open).
    bool readDataBlock(ReplyKind kind, std::size_t max, bool pauseFirst, const Consume& consume);
    // Nothing has arrived that no reply has read; otherwise the connection is closed with
    // kind's label and the reason. Never waits.
    bool inStep(ReplyKind kind);
    // Bytes came after the last status line that nothing has read yet.
    bool hasUnread() const { return !pending_.empty(); }
    // Replies read to commands other than NOOP, counted from the first: the connection's use.
    std::uint64_t activity() const { return activity_; }

    // "<label> <text>" as the reason of a failure.
    void fail(ReplyKind kind, StringId textId);
    void fail(ReplyKind kind, std::string_view text);
    void setErrorText(std::string text) { errorText_ = std::move(text); }
    const std::string& errorText() const { return errorText_; }
    // The user's Avbryt cut the last wait on a server that had not answered; the connection is
    // closed.
    bool waitWasCut() const { return waitCut_; }

private:
    // One receive of at most max bytes, what came in after a status line first.
    bool receive(ReplyKind kind, std::size_t max, std::string_view& chunk);
    void lost(ReplyKind kind, IoStatus status);

    std::function<void()> onClose_;
    std::unique_ptr<IStream> socket_;
    std::string errorText_;
    std::string receiveArea_; // reused by every receive, so a chunk costs no allocation
    std::string pending_;     // received after a status line, not yet read as its data
    std::string held_;        // lines gathered since hold(), not yet written
    bool holding_ = false;
    std::uint64_t activity_ = 0;
    bool waitCut_ = false;
};
