#pragma once

#include "pop3/CMailboxCache.h"

class CPop3Connection;

// Reads the data blocks of LIST and UIDL as they arrive and judges them against the count STAT
// gave: sizes for the message table, unique ids for the mailbox cache. A listing that cannot be
// trusted keeps nothing; it is still read to its end, so the connection stays in step.
class CListingReader {
public:
    // Appends LIST's sizes, never more than count messages; false, with nothing appended and the
    // reason on the connection, for a listing cut short or one that lists fewer messages than
    // count (mostMessages bounds what is kept).
    static bool readSizes(CPop3Connection& connection, MessageTable& table, int count,
                          int mostMessages);
    // Gives UIDL's ids to the cache: Keyed, or Unusable (no ids kept) when the listing cannot key
    // every one of count messages. False when the connection failed.
    static bool readIds(CPop3Connection& connection, CMailboxCache& cache, int count,
                        CMailboxCache::UidlAnswer& answer);
};
