#include "pop3/CReplyParser.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

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

TEST(CReplyParser, UidlKeysRowsOnlyWhenEveryMessageHasOneDistinctId) {
    std::vector<std::string> uids;
    ASSERT_TRUE(CReplyParser::parseUidl(
        "2 QhdPYR:00WBw1Ph7x7\r\n1 whqtswO00WBw418f9t5JxYwZ\r\n.\r\n", 2, uids));
    EXPECT_EQ(uids, (std::vector<std::string>{"whqtswO00WBw418f9t5JxYwZ", "QhdPYR:00WBw1Ph7x7"}));
    EXPECT_TRUE(CReplyParser::parseUidl(".\r\n", 0, uids));
    EXPECT_TRUE(uids.empty());
    // A message left out, listed twice, out of range, an id repeated, empty, too long or with a
    // blank in it: no row could be tied to its message by these.
    for (const char* data :
         {"1 a\r\n.\r\n", "1 a\r\n1 b\r\n.\r\n", "1 a\r\n3 b\r\n.\r\n", "1 a\r\n2 a\r\n.\r\n",
          "1 \r\n2 b\r\n.\r\n", "1 a b\r\n2 c\r\n.\r\n", "x a\r\n2 b\r\n.\r\n"}) {
        EXPECT_FALSE(CReplyParser::parseUidl(data, 2, uids)) << data;
    }
    EXPECT_FALSE(CReplyParser::parseUidl("1 " + std::string(71, 'u') + "\r\n.\r\n", 1, uids));
}

TEST(CReplyParser, AClaimedCountThatNoListingBacksCostsNothing) {
    std::vector<std::string> uids{"old"};
    EXPECT_FALSE(CReplyParser::parseUidl("1 a\r\n2 b\r\n.\r\n", INT_MAX, uids));
    EXPECT_TRUE(uids.empty());
    EXPECT_FALSE(CReplyParser::parseUidl("1 a\r\n.\r\n", -1, uids));
}

TEST(CReplyParser, TheCapabilityScanSeesStlsAfterALineOfAnyLength) {
    const std::string answer =
        std::string(70000, 'X') + " y\r\nsasl plain OAuthBearer\r\nStls\r\nPIPELINING x\r\n.\r\n";
    for (std::size_t piece : {1, 7, 70000, 100000}) {
        CReplyParser::CapabilityScan scan;
        for (std::size_t at = 0; at < answer.size(); at += piece)
            scan.feed(std::string_view(answer).substr(at, piece));
        EXPECT_TRUE(scan.stls() && scan.pipelining() && scan.oauthBearer()) << piece;
    }
    CReplyParser::CapabilityScan lookalikes;
    lookalikes.feed("STLSX\r\n STLS\r\nX STLS\r\nPIPELININGS\r\nOAUTHBEARER\r\nX OAUTHBEARER\r\n"
                    "SASL OAUTHBEARERS\r\n.\r\n");
    EXPECT_FALSE(lookalikes.stls() || lookalikes.pipelining() || lookalikes.oauthBearer());
}
