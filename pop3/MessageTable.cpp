#include "pop3/MessageTable.h"

#include <cstddef>

void MessageTable::appendSummary(const std::string& sender, const std::string& subject,
                                 const std::string& date) {
    senders_.push_back(sender);
    subjects_.push_back(subject);
    dates_.push_back(date);
}

void MessageTable::markDeleted(int n) {
    if (n < 1 || n > rowCount())
        return;
    const auto i = static_cast<std::size_t>(n - 1);
    dates_[i] = kDeletedMarker;
    senders_[i] = kDeletedMarker;
    subjects_[i] = kDeletedMarker;
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
        if (kept != i) {
            senders_[kept] = std::move(senders_[i]);
            subjects_[kept] = std::move(subjects_[i]);
            dates_[kept] = std::move(dates_[i]);
        }
        ++kept;
    }
    senders_.resize(kept);
    subjects_.resize(kept);
    dates_.resize(kept);
}

void MessageTable::clearHeaders() {
    senders_.clear();
    subjects_.clear();
    dates_.clear();
}

double MessageTable::sizeOf(int n) const {
    return n >= 1 && n <= sizeCount() ? sizes_[static_cast<std::size_t>(n - 1)] : 0.0;
}

const std::string& MessageTable::entry(const std::vector<std::string>& column, int n) {
    static const std::string none;
    return n >= 1 && static_cast<std::size_t>(n) <= column.size()
               ? column[static_cast<std::size_t>(n - 1)]
               : none;
}
