#include "dialogs/CMarkCriteria.h"
#include "pop3/MessageTable.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using V = std::vector<int>;

// A column may be longer than the list (headers cached from an earlier load) or shorter (a
// cancelled load); only rows that exist in both can be marked.
TEST(CMarkCriteria, OnlyRowsTheListHasAreReturned) {
    MessageTable table;
    for (int i = 0; i < 4; ++i) {
        table.appendSize(100);
        table.appendSummary("a@b", "s", "d");
    }
    EXPECT_EQ(CMarkCriteria::rowsWithSender(table, "a", 2), (V{0, 1}));
    EXPECT_EQ(CMarkCriteria::rowsWithSubject(table, "", 3), (V{0, 1, 2}));
    EXPECT_EQ(CMarkCriteria::rowsLargerThan(table, 0, 1), V{0});
    EXPECT_EQ(CMarkCriteria::rowsWithSender(table, "", 9).size(), 4u);
    EXPECT_EQ(CMarkCriteria::rowsInRange(INT_MIN, INT_MAX, 3), (V{0, 1, 2}));
    EXPECT_EQ(CMarkCriteria::rowsInRange(INT_MAX, INT_MAX, 3), V{});
}

} // namespace
