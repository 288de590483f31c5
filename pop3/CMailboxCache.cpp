#include "pop3/CMailboxCache.h"

#include <utility>

void CMailboxCache::beginConnect(bool sameAccount) {
    if (!sameAccount)
        forget();
    if (reusable_)
        table_.removeDeleted();
}

void CMailboxCache::forget() {
    forgetRows();
    uidsListed_ = false;
}

void CMailboxCache::setUids(std::vector<std::string> uids) {
    uids_ = std::move(uids);
    uidsListed_ = true;
}

void CMailboxCache::keepSummary(int message, const std::string& from, const std::string& subject,
                                const std::string& date) {
    const auto index = static_cast<std::size_t>(message - 1);
    table_.setSummary(message, from, subject, date,
                      message >= 1 && index < uids_.size() ? uids_[index] : std::string{});
}

void CMailboxCache::commitDeletions() {
    for (int message : pendingDeletes_)
        table_.markDeleted(message);
    pendingDeletes_.clear();
    table_.clearSizes();
}

void CMailboxCache::beginProvisional() {
    if (!before_)
        before_ = Before{table_, setAside_, reusable_};
}

void CMailboxCache::forgetConnection() {
    if (before_) {
        table_ = std::move(before_->table);
        setAside_ = std::move(before_->setAside);
        reusable_ = before_->reusable;
        before_.reset();
    }
    pendingDeletes_.clear();
    uids_.clear();
}

void CMailboxCache::forgetRows() {
    table_.clearHeaders();
    setAside_.clearHeaders();
    reusable_ = false;
}

std::vector<int> CMailboxCache::prepareLoad(int count, UidlAnswer uidl) {
    if (!reusable_)
        forgetRows();
    if (uidl == UidlAnswer::Keyed) {
        // Rows a quick load set aside come back to be lined up.
        if (table_.rowCount() == 0)
            setAside_.moveRowsTo(table_);
        setAside_.clearHeaders();
        table_.alignToUids(uids_);
        reusable_ = true;
    } else if (uidsListed_ || count < table_.rowCount()) {
        // Rows of a server that lists ids (this time too, if it could not key them) are found
        // again only by a listing that keys them; numbers say nothing about them. Only a server
        // that never lists ids has rows by number, and with fewer messages than rows the
        // numbering cannot say which rows went.
        forgetRows();
    }
    std::vector<int> toFetch;
    for (int n = 1; n <= count; ++n)
        if (!reusable(n))
            toFetch.push_back(n);
    return toFetch;
}

void CMailboxCache::prepareQuickLoad(int count) {
    if (!reusable_) {
        forgetRows();
    } else if (uidsListed_) {
        // Without a listing the rows cannot be lined up with the numbers of this connection:
        // until one comes they name no message.
        if (table_.rowCount() > 0)
            table_.moveRowsTo(setAside_);
    } else if (count < table_.rowCount()) {
        forgetRows();
    }
}
