#include "app/CIspHostTable.h"

#include <gtest/gtest.h>

TEST(CIspHostTable, SecondCharacterPicksTheHost) {
    CIspHostTable table;
    EXPECT_EQ(table.hostFor("abc"), "bpop.vindnet.example");
    EXPECT_EQ(table.hostFor("x-y"), "pop.vindnet.example");
    EXPECT_EQ(table.hostFor("az"), "zpop.vindnet.example");
    // No slot, too short, or not 7-bit: the typed server stays.
    EXPECT_EQ(table.hostFor("aa"), "");
    EXPECT_EQ(table.hostFor("a"), "");
    EXPECT_EQ(table.hostFor(""), "");
    EXPECT_EQ(table.hostFor("aå"), "");
    EXPECT_EQ(table.hostFor("a\x80"), "");
}
