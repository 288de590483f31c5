#pragma once

#include <string_view>
#include <vector>

class MessageTable;

// Which list rows the four criterion commands mark; row i holds message i + 1. Every result is
// limited to the rows the list has, since a table column can be longer or shorter than the list
// (a cancelled load, a header cache kept from an earlier connection).
class CMarkCriteria {
public:
    // Indices of the size dialog's unit list; any other index means bytes.
    static constexpr int kUnitMb = 0;
    static constexpr int kUnitKb = 1;

    // The size a message must exceed: amount x 1048576 (MB), x 1024 (kB), or amount (bytes).
    // Taken in double, where every int amount times 2^20 is exact: 2048 MB is 2^31 bytes, not
    // a product that wraps round to a negative threshold and marks everything.
    static double sizeThreshold(int amount, int unitIndex);

    // Rows of messages first .. last, both included; none when first > last (never swapped).
    // Numbers outside 1 .. rowCount are skipped.
    static std::vector<int> rowsInRange(int first, int last, int rowCount);
    // Rows whose listed size is strictly greater than the threshold.
    static std::vector<int> rowsLargerThan(const MessageTable& table, double threshold,
                                           int rowCount);
    // Rows whose sender (subject) holds text as a byte-exact, case-sensitive substring. An empty
    // text is in every entry.
    static std::vector<int> rowsWithSender(const MessageTable& table, std::string_view text,
                                           int rowCount);
    static std::vector<int> rowsWithSubject(const MessageTable& table, std::string_view text,
                                            int rowCount);
};
