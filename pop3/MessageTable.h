#pragma once

#include <string>
#include <vector>

// What the program knows of each message on the server, as four columns indexed by message
// number - 1. The sizes come from LIST and live for one connection; the header rows (sender,
// subject, date) outlive it and are reused at the next connect to the same account.
class MessageTable {
public:
    static constexpr const char* kDeletedMarker = "!!Deleted";

    void appendSize(double size) { sizes_.push_back(size); }
    void clearSizes() { sizes_.clear(); }
    void appendSummary(const std::string& sender, const std::string& subject,
                       const std::string& date);
    // Marks row n deleted; nothing when there is no such row.
    void markDeleted(int n);
    // Drops the deleted rows; the rest close up in their old order, which is the server's
    // numbering after the deletions took effect.
    void removeDeleted();
    void clearHeaders();

    // Entries of message n. Out of range gives 0 or an empty text rather than undefined reads.
    double sizeOf(int n) const;
    const std::string& senderOf(int n) const { return entry(senders_, n); }
    const std::string& subjectOf(int n) const { return entry(subjects_, n); }
    const std::string& dateOf(int n) const { return entry(dates_, n); }
    bool isDeleted(int n) const;

    int sizeCount() const { return static_cast<int>(sizes_.size()); }
    int rowCount() const { return static_cast<int>(senders_.size()); }

private:
    static const std::string& entry(const std::vector<std::string>& column, int n);

    std::vector<double> sizes_;
    std::vector<std::string> senders_;
    std::vector<std::string> subjects_;
    std::vector<std::string> dates_;
};
