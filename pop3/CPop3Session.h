#pragma once

#include "platform/CTempFile.h"
#include "platform/ISocketFactory.h"
#include "pop3/MessageTable.h"
#include "resources/StringIds.h"

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CSocketFactory;
class CTlsMemory;
class IContentHost;
class IMessageBoxHost;
class IProgressHost;

// The program's POP3 client. Each command is one line; its reply is read by one reader that
// knows, per command, how to collect it: a status line, a size list, a header block kept as
// text, or a whole message written to a private file of its own. Every operation blocks the calling
// thread (the wait hook keeps the window painting) and returns true or false, leaving the
// reason in errorText.
class CPop3Session {
public:
    enum class ReplyKind {
        Greeting,
        User,
        Pass,
        Quit,
        Dele,
        Rset,
        Stat,
        Noop,
        List,
        Retr,
        Top,
        Uidl,
        Capa,
        Stls
    };

    // What the last UIDL said: ids that key every message, a refusal, or a positive answer that
    // cannot key them (a repeated or unusable id, a message missing or listed twice).
    enum class UidlAnswer { Keyed, Refused, Unusable };

    // Messages above this many bytes download with a progress window.
    static constexpr int kProgressThreshold = 32768;
    // With pipelining, this many commands, or this many bytes of them, may be on their way
    // before their replies are read.
    static constexpr std::size_t kWindowCommands = 64;
    static constexpr std::size_t kWindowBytes = 8192;
    // The most messages the program lists. A row of the window costs 450 bytes to 1 KB and 7 to
    // 12 µs, so a mailbox at the limit takes up to 1 GB and 12 s to show; one whose STAT says
    // more is refused at once, with a text, before anything is listed.
    static constexpr int kMessagesMax = 1'000'000;

    CPop3Session();
    ~CPop3Session();
    CPop3Session(const CPop3Session&) = delete;
    CPop3Session& operator=(const CPop3Session&) = delete;

    // Seams to the outside; null hosts mean no window. The factory must outlive the session.
    void setSocketFactory(ISocketFactory* factory);
    void setProgressHost(IProgressHost* host) { progressHost_ = host; }
    void setMessageBoxHost(IMessageBoxHost* host) { messageBoxHost_ = host; }
    void setContentHost(IContentHost* host) { contentHost_ = host; }
    // Where the servers that offered STLS are remembered; null remembers nothing. It must
    // outlive the session.
    void setTlsMemory(CTlsMemory* memory) { tlsMemory_ = memory; }

    void setHost(const std::string& host) { host_ = host; }
    void setUser(const std::string& user) { user_ = user; }
    void setPassword(const std::string& password) { password_ = password; }
    void setPort(int port) { port_ = port; }
    void setPreviewLines(int lines) { previewLines_ = lines; }
    // Whether runs of commands may go out ahead of their replies where the server offers it.
    void setPipeliningAllowed(bool allowed) { pipeliningAllowed_ = allowed; }
    // The server of this connection listed PIPELINING, and it is allowed.
    bool pipelining() const { return pipelining_; }

    // Connects and logs in. On every port but 995 the session first asks the server what it
    // can do (CAPA); where it lists STLS, TLS starts before the account is named (and CAPA is
    // asked again), with the same checks as on 995, and a failed start sends neither account
    // nor password. A server (host and port) that listed STLS once is remembered, and one that
    // lists it no longer is refused before the account is named. On 995, where TLS starts with
    // the first byte, CAPA follows PASS, and only where pipelining is allowed.
    bool login();
    // False, with a text, also for a count above kMessagesMax.
    bool stat();
    // Appends the listed sizes, never more than the last STAT counted messages. False, with
    // nothing appended, when the listing gives fewer: the count names messages that the server
    // does not list.
    bool list();
    // Asks for every message's unique id. True only when the server listed one usable id for
    // each message of the last STAT (getUids); false when it refused, or its answer could not
    // key the header rows safely.
    bool uidl();
    // replyText keeps at most ReplyLimits::kKeptTextMax bytes of the reply.
    // UIDL and LIST, written together where pipelining allows (in a run, with the proof of what
    // they said): the result is LIST's.
    bool uidlAndList(UidlAnswer& answer);
    bool top(int message, int lines);
    bool retr(int message);
    // The server marks the message; the header row counts as deleted only once QUIT has
    // committed it. Outside a run it is a run of its own.
    bool dele(int message);
    // Takes back every deletion of this session.
    bool rset();
    bool noop();
    // Ends the session (an open run is proven first). A positive answer commits the session's
    // deletions, and only then are their header rows marked. Without one the server deleted
    // nothing, and no row is marked; a QUIT that reached the server without a positive answer
    // may have deleted some, and then every header row is read anew at the next connect.
    bool quit();
    // Reads message n's header lines and keeps its sender, subject and date, decoded, in the
    // fields below and as a new row of the message table; "-saknas-" for what is not there.
    // False, with nothing kept, only when the connection is lost.
    bool fetchSummary(int message);
    // Runs of commands answered in order. With pipelining the next commands go out while
    // earlier answers are still on their way (up to kWindowCommands or kWindowBytes); without it
    // one at a time, exactly as the single commands above.
    bool canSendAhead() const;
    // STAT, LIST, UIDL, TOP message 0 or DELE message, its answer read later by readAhead.
    bool sendAhead(ReplyKind kind, int message = 0);
    // Reads the answer to the oldest command sent ahead and keeps what it gives as the single
    // command does: STAT's counts, LIST's sizes, UIDL's ids, the summary of TOP (as
    // fetchSummary, whose result it returns), the deletion of DELE.
    bool readAhead();
    // Reads the answers still on their way and keeps them as readAhead does (a deletion among
    // them counts as the server's). False when the connection is lost.
    bool finishOutstanding();
    std::size_t outstanding() const { return outstanding_.size(); }

    // A run: commands whose answers count only once the session has proven it stayed in step
    // with the server, so that a lost, doubled or stray reply can never leave a header row
    // naming another message or a deletion the server did not make. The header rows the run
    // reads or rearranges are kept from endRun on; until then they are provisional.
    void beginRun();
    // The run's last command so far is written. With pipelining the proof, a STAT whose answer
    // must give the count the session expects (deletions are not counted), goes out behind it
    // at once where the window has room; endRun sends it otherwise, and again after commands
    // written since.
    void sendRunCheck();
    // Reads every answer still on its way and the proof's; then nothing more may have arrived.
    // One command at a time, the proof is that nothing is left over. True: the run's rows
    // stand. False: the connection is dropped without QUIT (the server commits nothing), the
    // header rows are as they were before the run, and errorText says why. Any lost connection
    // during the run ends it the same way.
    bool endRun();

    // Shows message n's header block, decoded, and the text of its first previewLines body
    // lines (CMessageText::preview) in the content window; returns when the window is closed. A
    // reply longer than the program keeps, or a text longer once decoded, is shown cut, with a
    // note that says so.
    bool preview(int message);
    // Drops the connection without QUIT (a cancelled download, a lost server).
    void dropConnection();
    bool isConnected() const;
    // "Avbryt" cut the last command's wait on a server that had not answered; the connection is
    // gone. (A download stopped between two of its receives is not a cut wait.)
    bool waitWasCut() const { return waitCut_; }
    // "Avbryt" stopped the last command's download between two receives, while the server was
    // still sending; the connection is gone.
    bool stoppedByUser() const { return stoppedByUser_; }

    int getMessageCount() const { return messageCount_; }
    int getMailboxOctets() const { return mailboxOctets_; }
    int getMessageSize(int message) const;
    std::string getErrorText() const { return errorText_; }
    std::string getReplyText() const { return replyText_; }
    // The unique ids of the last successful uidl() of this connection, message n at n - 1.
    const std::vector<std::string>& getUids() const { return uids_; }
    const std::string& getFrom() const { return from_; }
    const std::string& getSubject() const { return subject_; }
    const std::string& getDate() const { return date_; }
    // The file the last successful retr wrote the message into, a new one for each download;
    // empty when there is none. Whoever uses the message takes the file, and with it the duty
    // to remove it; a file nobody took goes with the next download or with the session.
    const std::string& retrievedFile() const { return retrieved_.path(); }
    CTempFile takeRetrievedFile() { return std::move(retrieved_); }

    MessageTable& messageTable() { return table_; }
    const MessageTable& messageTable() const { return table_; }

    // Kept here for the main window's connect cycle and keep-alive timer.
    int idleTicks() const { return idleTicks_; }
    void setIdleTicks(int ticks) { idleTicks_ = ticks; }
    const std::string& lastUser() const { return lastUser_; }
    void setLastUser(const std::string& user) { lastUser_ = user; }
    int headersCached() const { return headersCached_; }
    void setHeadersCached(int cached) { headersCached_ = cached; }
    // The account's server has answered UIDL with a listing at some connect: its rows are never
    // matched by number. Set by every positive UIDL answer; the connect cycle clears it with
    // the cache when the account changes.
    bool uidsListed() const { return uidsListed_; }
    void setUidsListed(bool listed) { uidsListed_ = listed; }
    int previewLines() const { return previewLines_; }
    int port() const { return port_; }

private:
    // Sends one command line, once every command sent ahead is answered; false (with
    // errorText) when there is no connection to send on.
    bool sendCommand(ReplyKind kind, const std::string& line);
    bool writeCommand(ReplyKind kind, const std::string& line);
    // Reads the status line and, for STAT, LIST, TOP and RETR, what follows it.
    bool readReply(ReplyKind kind, int message = 0);
    bool readStatusLine(ReplyKind kind, std::string& line);
    // One receive of at most max bytes; on failure the connection is dropped and errorText says
    // why.
    bool receiveChunk(ReplyKind kind, std::size_t max, std::string_view& chunk);
    // Receives the data block chunk by chunk, with the pause before each further receive,
    // handing each chunk's reply bytes to consume, until the terminator. consume returns false
    // to stop (the caller has set the reason).
    bool readDataBlock(ReplyKind kind, std::size_t max, bool pauseFirst,
                       const std::function<bool(std::string_view, bool)>& consume);
    bool download(int message);
    // Sends a command of a run and remembers it until its answer is read.
    bool queueCommand(ReplyKind kind, int message, const std::string& line);
    // Reads the answer to the oldest command sent ahead.
    bool readNext(ReplyKind kind);
    // TOP's answer made message's summary.
    bool readSummary(int message);
    // The answer to the run's proof.
    bool readRunCheck();
    // Nothing has come that no command asked for; otherwise the connection is dropped with
    // kind's label and the reason.
    bool inStep(ReplyKind kind);
    void outOfStep(ReplyKind kind);
    bool capa();
    // STLS, and TLS on the connection; false with the TLS text when it could not start.
    bool startTls();
    // Remembers a server that listed STLS; false, with the reason, for one that listed it
    // before and did not now.
    bool tlsAsBefore();
    // USER and PASS, together where pipelining allows.
    bool authenticate();
    void failDownload(const std::string& reason);
    void fail(ReplyKind kind, StringId textId);
    // The connection is gone without a committing QUIT: the server deleted nothing, and a run's
    // header rows are taken back.
    void forgetSession();

    int idleTicks_ = 0;
    std::string lastUser_;
    int headersCached_ = 0;
    int previewLines_ = 0;
    int port_ = 0;
    std::string subject_;
    std::string date_;
    std::string from_;
    MessageTable table_;
    std::string errorText_;
    std::string host_;
    std::string password_;
    std::string user_;
    std::string replyText_;
    bool replyCut_ = false; // the last TOP reply was longer than replyText_ keeps
    int mailboxOctets_ = 0;
    int messageCount_ = 0;
    std::vector<std::string> uids_;   // of this connection, from UIDL
    std::vector<int> pendingDeletes_; // DELE answered positively in this connection
    UidlAnswer uidlAnswer_ = UidlAnswer::Refused;
    bool uidsListed_ = false;
    // The count of this connection's STAT, written as the standard has it, with the deletions
    // of the session at that time added back: a run's proof expects it less the deletions.
    bool baseCountKnown_ = false;
    long long baseCount_ = 0;
    struct Run {
        MessageTable table;    // as it was before the run
        int headersCached;     // likewise
        bool unproven = false; // a command of the run went out after the last proof
    };
    std::optional<Run> run_;
    bool waitCut_ = false;
    bool stoppedByUser_ = false;
    bool pipeliningAllowed_ = false;
    bool pipelining_ = false;
    bool stlsOffered_ = false; // the last CAPA listed STLS
    struct SentAhead {
        ReplyKind kind;
        int message;
        std::size_t bytes;
        bool check = false; // a run's proof
    };
    std::deque<SentAhead> outstanding_;
    std::size_t outstandingBytes_ = 0;
    std::unique_ptr<IStream> socket_;
    CTempFile retrieved_;     // the last download's message, until someone takes it
    std::string receiveArea_; // reused by every receive, so a chunk costs no allocation
    std::string pending_;     // received after a status line, not yet read as its data

    std::unique_ptr<CSocketFactory> ownFactory_;
    ISocketFactory* factory_ = nullptr;
    IProgressHost* progressHost_ = nullptr;
    IMessageBoxHost* messageBoxHost_ = nullptr;
    IContentHost* contentHost_ = nullptr;
    CTlsMemory* tlsMemory_ = nullptr;
};
