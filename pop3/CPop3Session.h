#pragma once

#include "platform/CSecret.h"
#include "platform/ISocketFactory.h"
#include "pop3/CMailboxCache.h"
#include "pop3/CPop3Connection.h"
#include "pop3/CPop3Pipeline.h"
#include "pop3/ReplyKind.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CSocketFactory;
class CTlsMemory;
class IAccessTokens;

// The commands of a POP3 session and what their answers mean: the counts of STAT, the sizes of
// LIST, the unique ids of UIDL, the header rows of TOP, the deletions of DELE, RSET and QUIT, kept
// in the mailbox cache; and runs of commands that count only once proven in step with the
// server. The login is CPop3Login's, the bytes CPop3Connection's, the order of the answers
// CPop3Pipeline's, the reading of the listings CListingReader's. Every operation blocks the calling
// thread (the wait hook keeps the window painting) and returns true or false, leaving the reason in
// errorText.
class CPop3Session {
public:
    using ReplyKind = ::ReplyKind;
    using UidlAnswer = CMailboxCache::UidlAnswer;
    // Where RETR puts a message: begin() once the server has said it sends it, then its bytes
    // in order up to and including the terminating line (complete: they end it). Either stops
    // the download by returning false.
    class MessageSink {
    public:
        virtual ~MessageSink() = default;
        virtual bool begin() = 0;
        virtual bool take(std::string_view bytes, bool complete) = 0;
    };

    // The most messages the program lists. A row of the window with its headers costs about
    // 1.4 KB (measured at 100 000 rows, which a local server delivered in 6 s), so a mailbox at
    // the limit takes about 1.4 GB and a minute to show; one whose STAT says more is refused at
    // once, with a text, before anything is listed.
    static constexpr int kMessagesMax = 1'000'000;

    CPop3Session();
    ~CPop3Session();
    CPop3Session(const CPop3Session&) = delete;
    CPop3Session& operator=(const CPop3Session&) = delete;

    // The factory must outlive the session; null means real sockets.
    void setSocketFactory(ISocketFactory* factory);
    // Where the servers that offered STLS are remembered; null remembers nothing. It must
    // outlive the session.
    void setTlsMemory(CTlsMemory* memory) { tlsMemory_ = memory; }

    void setHost(const std::string& host) { host_ = host; }
    void setUser(const std::string& user) { user_ = user; }
    // For the next login only: the session overwrites and drops it when the login ends.
    void setPassword(CSecret password) { password_ = std::move(password); }
    // For the next login only: set, the account signs in with an access token from tokens
    // (which must outlive the login) instead of the password.
    void setAccessTokens(IAccessTokens* tokens) { tokens_ = tokens; }
    void setPort(int port) { port_ = port; }
    int port() const { return port_; }
    // Whether runs of commands may go out ahead of their replies where the server offers it.
    void setPipeliningAllowed(bool allowed) { pipeliningAllowed_ = allowed; }
    // The server of this connection listed PIPELINING, and it is allowed.
    bool pipelining() const { return pipeline_.pipelining(); }

    // Connects and logs in (CPop3Login), closing any earlier connection first. Whatever the
    // outcome, the session holds no password afterwards.
    bool login();
    // False, with a text, also for a count above kMessagesMax. Where the STAT went out with the
    // login, its answer is read.
    bool stat();
    // Appends the listed sizes, never more than the last STAT counted messages. False, with
    // nothing appended, when the listing gives fewer: the count names messages that the server
    // does not list.
    bool list();
    // Asks for every message's unique id. True only when the server listed one usable id for
    // each message of the last STAT (the cache's uids); false when it refused, or its answer
    // could not key the header rows safely.
    bool uidl();
    // UIDL and LIST, written together where pipelining allows (in a run, with the proof of what
    // they said): the result is LIST's. Behind them go the requests for the headers of messages
    // 1, 2, ... up to topsUpTo, as many as the window has room for (topsSent); their answers are
    // left for readAnswer. Only where every header is to come from the server.
    bool uidlAndList(UidlAnswer& answer, int topsUpTo, int& topsSent);
    bool uidlAndList(UidlAnswer& answer) {
        int sent = 0;
        return uidlAndList(answer, 0, sent);
    }
    // replyText keeps at most ReplyLimits::kKeptTextMax bytes of the reply.
    bool top(int message, int lines);
    // The message goes to sink as it arrives. A sink that stops the download leaves the
    // connection to its caller, who must drop it: the rest of the message would be taken for
    // the next reply.
    bool retr(int message, MessageSink& sink);
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
    // False, with nothing kept, when the connection is lost, and when answers to commands sent
    // ahead are outstanding: the next answer is not this one (nothing is then sent).
    bool fetchSummary(int message);
    // The single commands above (dele and fetchSummary too) read their own answer at once, so
    // they are refused (false, nothing sent) while answers are outstanding; quit reads those
    // first.

    // Runs of commands answered in order. With pipelining the next commands go out while
    // earlier answers are still on their way (CPop3Pipeline's window); without it one at a
    // time, exactly as the single commands above.
    bool canSendAhead() const { return pipeline_.hasRoom(); }
    // STAT, LIST, UIDL, TOP message 0 or DELE message, its answer read later by readAnswer.
    bool sendAhead(ReplyKind kind, int message = 0);
    // Reads the answer to the oldest command sent ahead and keeps what it gives as the single
    // command does: STAT's counts, LIST's sizes, UIDL's ids, the summary of TOP (as
    // fetchSummary, whose result it returns), the deletion of DELE.
    bool readAnswer();
    // Reads the answers still on their way and keeps them as readAnswer does (a deletion among
    // them counts as the server's). False when the connection is lost.
    bool finishOutstanding();
    std::size_t outstanding() const { return pipeline_.outstanding(); }

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

    // Drops the connection without QUIT (a cancelled download, a lost server).
    void dropConnection() { connection_.close(); }
    bool isConnected() const { return connection_.isOpen(); }
    // "Avbryt" cut the last command's wait on a server that had not answered; the connection is
    // gone.
    bool waitWasCut() const { return connection_.waitWasCut(); }
    // Answers read to commands other than NOOP so far: what the idle time counts from.
    std::uint64_t activity() const { return connection_.activity(); }

    int getMessageCount() const { return messageCount_; }
    int getMailboxOctets() const { return mailboxOctets_; }
    int getMessageSize(int message) const;
    std::string getErrorText() const { return connection_.errorText(); }
    // Reports a failure of an operation built on the session's commands (a download's file).
    void setErrorText(std::string text) { connection_.setErrorText(std::move(text)); }
    void fail(ReplyKind kind, StringId textId) { connection_.fail(kind, textId); }
    const std::string& getReplyText() const { return replyText_; }
    // The last TOP reply was longer than replyText keeps.
    bool replyCut() const { return replyCut_; }
    const std::string& getFrom() const { return from_; }
    const std::string& getSubject() const { return subject_; }
    const std::string& getDate() const { return date_; }

    CMailboxCache& cache() { return cache_; }
    const CMailboxCache& cache() const { return cache_; }
    MessageTable& messageTable() { return cache_.table(); }
    const MessageTable& messageTable() const { return cache_.table(); }

private:
    // Sends a single command, whose answer the caller reads next.
    bool sendCommand(ReplyKind kind, const std::string& line);
    // Reads the status line and, for STAT, LIST, UIDL and TOP, what follows it.
    bool readReply(ReplyKind kind);
    bool readTop();
    // Sends a command of a run and remembers it until its answer is read.
    bool queueCommand(const CPop3Pipeline::Command& command, const std::string& line);
    // Reads the answer to the STAT that went out with the login, where one did, before any
    // other command; false when it failed. afterLoginStat: false only when the connection went.
    bool settleLoginStat();
    bool afterLoginStat();
    // TOP's answer made message's summary.
    bool readSummary(int message);
    // The answer to the run's proof.
    bool readRunCheck();
    // The connection is gone without a committing QUIT: the server deleted nothing, and a run's
    // header rows are taken back.
    void forgetSession();

    int port_ = 0;
    std::string subject_;
    std::string date_;
    std::string from_;
    CMailboxCache cache_;
    std::string host_;
    CSecret password_;
    IAccessTokens* tokens_ = nullptr;
    std::string user_;
    std::string replyText_;
    bool replyCut_ = false; // the last TOP reply was longer than replyText_ keeps
    int mailboxOctets_ = 0;
    int messageCount_ = 0;
    UidlAnswer uidlAnswer_ = UidlAnswer::Refused;
    // The count of this connection's STAT, written as the standard has it, with the deletions
    // of the session at that time added back: a run's proof expects it less the deletions.
    bool baseCountKnown_ = false;
    long long baseCount_ = 0;
    // An open run; unproven: a command of the run went out after the last proof.
    std::optional<bool> runUnproven_;
    bool pipeliningAllowed_ = false;
    // A STAT written with the login waits for its answer to be read.
    bool loginStat_ = false;

    CPop3Connection connection_;
    CPop3Pipeline pipeline_;
    std::unique_ptr<CSocketFactory> ownFactory_;
    ISocketFactory* factory_ = nullptr;
    CTlsMemory* tlsMemory_ = nullptr;
};
