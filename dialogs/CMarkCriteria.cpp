#include "dialogs/CMarkCriteria.h"

#include "pop3/MessageTable.h"

#include <algorithm>
#include <string>

namespace {

template <class Column>
std::vector<int> rowsWhere(int entries, int rowCount, const Column& matches) {
    std::vector<int> rows;
    const int end = std::min(entries, rowCount);
    for (int i = 0; i < end; ++i)
        if (matches(i + 1))
            rows.push_back(i);
    return rows;
}

} // namespace

double CMarkCriteria::sizeThreshold(int amount, int unitIndex) {
    const double a = amount;
    switch (unitIndex) {
    case kUnitMb:
        return a * 1048576.0;
    case kUnitKb:
        return a * 1024.0;
    default:
        return a;
    }
}

std::vector<int> CMarkCriteria::rowsInRange(int first, int last, int rowCount) {
    std::vector<int> rows;
    if (first > last)
        return rows;
    // Clamped before the walk, so that a last number of INT_MAX cannot overflow the counter.
    const int from = std::max(first, 1);
    const int to = std::min(last, rowCount);
    for (int n = from; n <= to; ++n)
        rows.push_back(n - 1);
    return rows;
}

std::vector<int> CMarkCriteria::rowsLargerThan(const MessageTable& table, double threshold,
                                               int rowCount) {
    return rowsWhere(table.sizeCount(), rowCount,
                     [&](int n) { return table.sizeOf(n) > threshold; });
}

std::vector<int> CMarkCriteria::rowsWithSender(const MessageTable& table, std::string_view text,
                                               int rowCount) {
    return rowsWhere(table.rowCount(), rowCount,
                     [&](int n) { return table.senderOf(n).find(text) != std::string::npos; });
}

std::vector<int> CMarkCriteria::rowsWithSubject(const MessageTable& table, std::string_view text,
                                                int rowCount) {
    return rowsWhere(table.rowCount(), rowCount,
                     [&](int n) { return table.subjectOf(n).find(text) != std::string::npos; });
}
