#pragma once

#include "pop3/MessageTable.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// What the program knows of the mailbox's messages, and whether it still holds. It owns the
// message table (LIST's sizes for one connection; the header rows, which outlive it), the unique
// ids of this connection, the deletions the server has confirmed but QUIT has not yet committed,
// and the rule by which a load reuses the rows of an earlier one: lined up by the server's unique
// ids where it lists them, by number only where it never has. Every load runs the rule, quick
// loads included, so that whatever reads the table (the list, the marking commands, a download's
// progress window) reads rows that name the server's messages.
class CMailboxCache {
public:
    // What the last UIDL said: ids that key every message, a refusal, or a positive answer that
    // cannot key them (a repeated or unusable id, a message missing or listed twice).
    enum class UidlAnswer { Keyed, Refused, Unusable };

    MessageTable& table() { return table_; }
    const MessageTable& table() const { return table_; }

    // A connect begins: the rows of another account are not this one's, and rows whose deletion
    // the last session committed go.
    void beginConnect(bool sameAccount);
    // Nothing of the rows is kept, and nothing of what the server said about ids: the next load
    // reads every header anew.
    void forget();

    // This connection's sizes start afresh (each login lists them anew).
    void clearSizes() { table_.clearSizes(); }
    // The ids UIDL gave this connection, message n at n - 1; empty when they could not key the
    // rows. Either way the server is one that lists ids.
    void setUids(std::vector<std::string> uids);
    void clearUids() { uids_.clear(); }
    const std::vector<std::string>& uids() const { return uids_; }
    // The server has answered UIDL with a listing at some connect of this account: its rows are
    // never matched by number.
    bool uidsListed() const { return uidsListed_; }
    // Message n's headers, read in this connection, keyed by its id where UIDL gave one.
    void keepSummary(int message, const std::string& from, const std::string& subject,
                     const std::string& date);

    // DELE of message n was answered positively.
    void noteDeleted(int message) { pendingDeletes_.push_back(message); }
    // RSET: the server deleted nothing of this session.
    void takeBackDeletions() { pendingDeletes_.clear(); }
    std::size_t pendingDeletions() const { return pendingDeletes_.size(); }
    // QUIT was answered positively: the deletions are the server's, their rows marked.
    void commitDeletions();
    // A QUIT that would have committed deletions reached the server without a positive answer:
    // it may have deleted some of them. Rows by number would name the wrong ones, and keyed rows
    // could be lined up again only by a listing that may not come, so every row is read anew.
    void quitUnanswered() { forgetRows(); }

    // The rows read or rearranged from here on are provisional until kept; a connection that
    // goes first takes them back.
    void beginProvisional();
    void keepProvisional() { before_.reset(); }
    // The connection is gone without a committing QUIT: the server deleted nothing, and
    // provisional rows are taken back.
    void forgetConnection();

    // A full load of count messages: lines the rows up with the server's messages (by the ids
    // of uidl where they key them) and returns, in order, the messages whose headers must come
    // from the server.
    std::vector<int> prepareLoad(int count, UidlAnswer uidl);
    // A quick load of count messages, which reads neither headers nor ids: rows of a server that
    // lists ids are set aside until a listing lines them up again, and rows by number stand only
    // while the count allows them.
    void prepareQuickLoad(int count);
    // Row n holds headers an earlier load read, still good for this one.
    bool reusable(int n) const { return reusable_ && table_.hasSummary(n); }
    // Rows of an earlier load may still serve the next one: only otherwise is every header
    // known to be needed before the server has said which messages it holds.
    bool mayHoldRows() const {
        return reusable_ && (table_.rowCount() > 0 || setAside_.rowCount() > 0);
    }
    // The load showed every row it could: its rows are the ones the next load may reuse.
    void loadFinished() { reusable_ = true; }

private:
    void forgetRows();

    MessageTable table_;
    std::vector<std::string> uids_;   // of this connection, from UIDL
    std::vector<int> pendingDeletes_; // DELE answered positively in this connection
    // Keyed rows a quick load could not line up, kept for the next listing that can.
    MessageTable setAside_;
    struct Before {
        MessageTable table;
        MessageTable setAside;
        bool reusable;
    };
    std::optional<Before> before_; // the rows as they were before the provisional ones
    bool uidsListed_ = false;
    bool reusable_ = false; // rows are there from an earlier load to reuse
};
