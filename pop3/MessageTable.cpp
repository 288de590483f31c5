#include "pop3/MessageTable.h"

#include <cstddef>
#include <unordered_map>
#include <utility>

void MessageTable::appendSummary(const std::string& sender, const std::string& subject,
                                 const std::string& date) {
    rows_.push_back({sender, subject, date, {}, true});
}

void MessageTable::setSummary(int n, const std::string& sender, const std::string& subject,
                              const std::string& date, const std::string& uid) {
    if (n < 1)
        return;
    if (n > rowCount())
        rows_.resize(static_cast<std::size_t>(n));
    Row& r = rows_[static_cast<std::size_t>(n - 1)];
    r.sender = sender;
    r.subject = subject;
    r.date = date;
    r.uid = uid;
    r.known = true;
}

bool MessageTable::hasSummary(int n) const {
    return n >= 1 && n <= rowCount() && rows_[static_cast<std::size_t>(n - 1)].known;
}

int MessageTable::summaryCount() const {
    int count = 0;
    for (const Row& r : rows_)
        count += r.known ? 1 : 0;
    return count;
}

void MessageTable::markDeleted(int n) {
    if (n < 1 || n > rowCount())
        return;
    Row& r = rows_[static_cast<std::size_t>(n - 1)];
    r.date = kDeletedMarker;
    r.sender = kDeletedMarker;
    r.subject = kDeletedMarker;
    r.known = true;
}

bool MessageTable::isDeleted(int n) const {
    return n >= 1 && n <= rowCount() && senderOf(n) == kDeletedMarker &&
           subjectOf(n) == kDeletedMarker && dateOf(n) == kDeletedMarker;
}

void MessageTable::removeDeleted() {
    // A row goes only when all three of its texts carry the marker: a message whose subject
    // alone reads "!!Deleted" must not shift one column against the others.
    std::size_t kept = 0;
    for (int n = 1; n <= rowCount(); ++n) {
        if (isDeleted(n))
            continue;
        const auto i = static_cast<std::size_t>(n - 1);
        if (kept != i)
            rows_[kept] = std::move(rows_[i]);
        ++kept;
    }
    rows_.resize(kept);
}

void MessageTable::clearHeaders() {
    rows_.clear();
}

void MessageTable::moveRowsTo(MessageTable& other) {
    other.rows_ = std::move(rows_);
    rows_.clear();
}

const std::string& MessageTable::uidOf(int n) const {
    return row(n).uid;
}

int MessageTable::alignToUids(const std::vector<std::string>& uids) {
    std::unordered_map<std::string, std::size_t> byUid;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].known && !rows_[i].uid.empty() && !isDeleted(static_cast<int>(i + 1)))
            byUid.emplace(rows_[i].uid, i);
    std::vector<Row> aligned(uids.size());
    int kept = 0;
    for (std::size_t n = 0; n < uids.size(); ++n) {
        const auto found = byUid.find(uids[n]);
        if (found != byUid.end()) {
            aligned[n] = std::move(rows_[found->second]);
            byUid.erase(found); // one row per id, even if a server repeats one
            ++kept;
        }
        aligned[n].uid = uids[n];
    }
    rows_ = std::move(aligned);
    return kept;
}

double MessageTable::sizeOf(int n) const {
    return n >= 1 && n <= sizeCount() ? sizes_[static_cast<std::size_t>(n - 1)] : 0.0;
}

const MessageTable::Row& MessageTable::row(int n) const {
    static const Row none;
    return n >= 1 && n <= rowCount() ? rows_[static_cast<std::size_t>(n - 1)] : none;
}
