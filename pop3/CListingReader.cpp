#include "pop3/CListingReader.h"

#include "pop3/CPop3Connection.h"
#include "pop3/CReplyParser.h"
#include "resources/CStringTable.h"
#include "resources/StringIds.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::size_t kListReceive = 8192;
// A listing line: a message number, a blank, an id of at most 70 characters, CR LF.
constexpr std::size_t kUidlLineMax = 84;

} // namespace

bool CListingReader::readSizes(CPop3Connection& connection, MessageTable& table, int count,
                               int mostMessages) {
    // Taken line by line as the listing arrives, so memory follows the lines that came, and
    // never more of them than STAT counted messages are kept: the rest are read and dropped.
    // Nothing is added from a listing cut short, or from one that lists fewer messages than
    // STAT counted: rows for the others would name messages the server does not have.
    CReplyParser::ListScan scan(
        static_cast<std::size_t>(std::clamp(static_cast<long long>(count) - table.sizeCount(), 0LL,
                                            static_cast<long long>(mostMessages))));
    if (!connection.readDataBlock(ReplyKind::List, kListReceive, false,
                                  [&scan](std::string_view bytes, bool) {
                                      scan.feed(bytes);
                                      return true;
                                  }))
        return false;
    const long long listed = scan.listed();
    if (listed + table.sizeCount() < count) {
        connection.fail(ReplyKind::List, CStringTable::load(StringId::ServerListed) + " " +
                                             std::to_string(listed) + " " +
                                             CStringTable::load(StringId::MessagesButStatSaid) +
                                             " " + std::to_string(count) + ".");
        return false;
    }
    for (double size : scan.sizes())
        table.appendSize(size);
    return true;
}

bool CListingReader::readIds(CPop3Connection& connection, CMailboxCache& cache, int count,
                             CMailboxCache::UidlAnswer& answer) {
    // An answer far longer than the mailbox's ids can take is no usable answer; it is still
    // read to its end so the connection stays in step.
    const std::size_t cap =
        static_cast<std::size_t>(std::max(count, 0)) * kUidlLineMax + kUidlLineMax;
    std::string data;
    bool tooLong = false;
    if (!connection.readDataBlock(ReplyKind::Uidl, kListReceive, false,
                                  [&](std::string_view bytes, bool) {
                                      tooLong = tooLong || data.size() + bytes.size() > cap;
                                      if (!tooLong)
                                          data.append(bytes);
                                      return true;
                                  }))
        return false;
    std::vector<std::string> uids;
    if (tooLong || !CReplyParser::parseUidl(data, count, uids))
        uids.clear();
    cache.setUids(std::move(uids));
    answer = cache.uids().empty() ? CMailboxCache::UidlAnswer::Unusable
                                  : CMailboxCache::UidlAnswer::Keyed;
    return true;
}
