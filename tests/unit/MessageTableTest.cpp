#include "pop3/MessageTable.h"

#include <gtest/gtest.h>

namespace {

MessageTable tableOf(int rows) {
    MessageTable t;
    for (int n = 1; n <= rows; ++n)
        t.appendSummary("from" + std::to_string(n), "subject" + std::to_string(n),
                        "date" + std::to_string(n));
    return t;
}

} // namespace

TEST(MessageTable, SizesAndRowsAreIndependent) {
    MessageTable t = tableOf(2);
    t.appendSize(10.5);
    EXPECT_EQ(t.sizeCount(), 1);
    EXPECT_EQ(t.rowCount(), 2);
    EXPECT_DOUBLE_EQ(t.sizeOf(1), 10.5);
    t.clearSizes();
    EXPECT_EQ(t.sizeCount(), 0);
    EXPECT_EQ(t.rowCount(), 2);
    EXPECT_EQ(t.subjectOf(2), "subject2");
    // Out of range reads are harmless.
    EXPECT_DOUBLE_EQ(t.sizeOf(1), 0.0);
    EXPECT_EQ(t.senderOf(0), "");
    EXPECT_EQ(t.dateOf(3), "");
    t.clearHeaders();
    EXPECT_EQ(t.rowCount(), 0);
}

TEST(MessageTable, DeletedRowsCloseUpInOrder) {
    MessageTable t = tableOf(5);
    t.markDeleted(2);
    t.markDeleted(4);
    t.markDeleted(6); // no such row: nothing
    t.markDeleted(0);
    EXPECT_EQ(t.senderOf(2), "!!Deleted");
    EXPECT_EQ(t.subjectOf(4), "!!Deleted");
    EXPECT_EQ(t.dateOf(4), "!!Deleted");
    EXPECT_EQ(t.rowCount(), 5);
    t.removeDeleted();
    ASSERT_EQ(t.rowCount(), 3);
    EXPECT_EQ(t.senderOf(1), "from1");
    EXPECT_EQ(t.subjectOf(2), "subject3");
    EXPECT_EQ(t.dateOf(3), "date5");

    t.removeDeleted(); // no markers: unchanged
    EXPECT_EQ(t.rowCount(), 3);
    for (int n = 1; n <= 3; ++n)
        t.markDeleted(n);
    t.removeDeleted();
    EXPECT_EQ(t.rowCount(), 0);
}

TEST(MessageTable, AMessageThatMerelyMentionsTheMarkerStays) {
    MessageTable t;
    t.appendSummary("a@x", "!!Deleted", "date1");
    t.appendSummary("b@x", "s2", "date2");
    t.removeDeleted();
    ASSERT_EQ(t.rowCount(), 2);
    EXPECT_EQ(t.senderOf(2), "b@x");
    EXPECT_EQ(t.subjectOf(2), "s2");
}
