#pragma once

#include <string>
#include <vector>

// What the program knows of each message on the server, indexed by message number - 1. The
// sizes come from LIST and live for one connection; the header rows (sender, subject, date)
// outlive it and are reused at the next connect to the same account. A row may carry the
// server's unique id of its message, so that the next connect can find it again whatever
// another client did to the numbering meanwhile, and a row may be a place held for a message
// whose headers have not been read yet.
class MessageTable {
public:
    static constexpr const char* kDeletedMarker = "!!Deleted";

    void appendSize(double size) { sizes_.push_back(size); }
    void clearSizes() { sizes_.clear(); }
    void appendSummary(const std::string& sender, const std::string& subject,
                       const std::string& date);
    // Fills row n, holding places for the rows before it that do not exist yet. The unique id
    // is the one the server gave message n in the same session, or empty.
    void setSummary(int n, const std::string& sender, const std::string& subject,
                    const std::string& date, const std::string& uid = {});
    // Row n exists and holds the message's headers, not just its place.
    bool hasSummary(int n) const;
    // Marks row n deleted; nothing when there is no such row.
    void markDeleted(int n);
    // Drops the deleted rows; the rest close up in their old order, which is the server's
    // numbering after the deletions took effect.
    void removeDeleted();
    void clearHeaders();
    // The header rows go to other, in place of its own; this table keeps its sizes.
    void moveRowsTo(MessageTable& other);

    // The server's unique id of message n, empty when not known.
    const std::string& uidOf(int n) const;
    // Lines the rows up with the server's messages as their unique ids name them, in order:
    // a row whose id is on the server moves to that message's number, a message without a
    // known row gets a place held for its headers, and rows whose id has gone (or that never
    // had one) are dropped. Returns how many messages kept their headers.
    int alignToUids(const std::vector<std::string>& uids);

    // Entries of message n. Out of range gives 0 or an empty text rather than undefined reads.
    double sizeOf(int n) const;
    const std::string& senderOf(int n) const { return row(n).sender; }
    const std::string& subjectOf(int n) const { return row(n).subject; }
    const std::string& dateOf(int n) const { return row(n).date; }
    bool isDeleted(int n) const;

    int sizeCount() const { return static_cast<int>(sizes_.size()); }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    // Rows that hold headers, not just a place.
    int summaryCount() const;

private:
    struct Row {
        std::string sender;
        std::string subject;
        std::string date;
        std::string uid;
        bool known = false; // false: a place held for headers not read yet
    };
    const Row& row(int n) const;

    std::vector<double> sizes_;
    std::vector<Row> rows_;
};
