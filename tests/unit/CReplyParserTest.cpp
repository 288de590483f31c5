#include "pop3/CReplyParser.h"

#include <gtest/gtest.h>

#include <climits>

TEST(CReplyParser, FailureIsMinusErrInAnyCase) {
    for (const char* line : {"-ERR no\r\n", "-err x\r\n", "-eRr\r\n", "-ERRx"})
        EXPECT_TRUE(CReplyParser::isFailure(line)) << line;
    for (const char* line : {"+OK\r\n", "\r\n", "", "-ER\r\n", " -ERR\r\n", "ERR\r\n", "-"})
        EXPECT_FALSE(CReplyParser::isFailure(line)) << line;
}

TEST(CReplyParser, LeadingNumberFollowsAtoiAndSaturates) {
    EXPECT_EQ(CReplyParser::leadingNumber(" \t 42abc"), 42);
    EXPECT_EQ(CReplyParser::leadingNumber("-7"), -7);
    EXPECT_EQ(CReplyParser::leadingNumber("+8"), 8);
    EXPECT_EQ(CReplyParser::leadingNumber("x1"), 0);
    EXPECT_EQ(CReplyParser::leadingNumber(""), 0);
    EXPECT_EQ(CReplyParser::leadingNumber("99999999999999999999999"), LLONG_MAX);
}

TEST(CReplyParser, StatReadsAfterTheFirstAndSecondBlank) {
    int count = -1, octets = -1;
    CReplyParser::parseStat("+OK 12 1300000\r\n", count, octets);
    EXPECT_EQ(count, 12);
    EXPECT_EQ(octets, 1300000);
    CReplyParser::parseStat("+OK\t3\t40 extra\r\n", count, octets);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(octets, 40);

    CReplyParser::parseStat("+OK\r\n", count, octets); // no blank: both kept
    EXPECT_EQ(count, 3);
    EXPECT_EQ(octets, 40);
    CReplyParser::parseStat("+OK 5\r\n", count, octets); // one blank: the size kept
    EXPECT_EQ(count, 5);
    EXPECT_EQ(octets, 40);
    CReplyParser::parseStat("+OK 99999999999 x\r\n", count, octets);
    EXPECT_EQ(count, INT_MAX);
    EXPECT_EQ(octets, 0);
}

TEST(CReplyParser, ListGivesOneSizePerLine) {
    EXPECT_EQ(CReplyParser::parseListSizes("1 120\r\n2 3000\r\n.\r\n"),
              (std::vector<double>{120, 3000}));
    EXPECT_TRUE(CReplyParser::parseListSizes(".\r\n").empty());
    // Extra fields, doubled blanks and huge sizes neither add phantom entries nor overflow.
    EXPECT_EQ(CReplyParser::parseListSizes("1  120 x\r\n2\t7 \r\n3 5000000000\r\n.\r\n"),
              (std::vector<double>{120, 7, 5000000000.0}));
    EXPECT_EQ(CReplyParser::parseListSizes("nonsense\r\n4 9\r\n.\r\n"), (std::vector<double>{9}));
}
