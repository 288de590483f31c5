#include "pop3/CEndOfData.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Feeds the chunks in order; returns the reply bytes kept, or "<open>" when no end was seen.
std::string run(std::initializer_list<std::string> chunks) {
    CEndOfData end;
    std::string kept;
    for (const auto& c : chunks)
        kept.append(c, 0, end.feed(c));
    return end.complete() ? kept : "<open>";
}

} // namespace

TEST(CEndOfData, FindsTheTerminatorWhereverTheReceivesSplitIt) {
    const std::string reply = "Subject: a\r\n..dot\r\n\r\nbody\r\n.\r\n";
    for (std::size_t cut = 0; cut <= reply.size(); ++cut) {
        SCOPED_TRACE(cut);
        EXPECT_EQ(run({reply.substr(0, cut), reply.substr(cut)}), reply);
    }
    // One byte per receive.
    CEndOfData end;
    std::string kept;
    for (char c : reply) {
        std::string one(1, c);
        kept.append(one, 0, end.feed(one));
    }
    EXPECT_TRUE(end.complete());
    EXPECT_EQ(kept, reply);
}

TEST(CEndOfData, EmptyBlockAndBytesAfterTheEnd) {
    EXPECT_EQ(run({".\r\n"}), ".\r\n");
    EXPECT_EQ(run({"a\r\n.\r\nTRAILING"}), "a\r\n.\r\n");
    EXPECT_EQ(run({"a\r\n.\r\n", "more"}), "a\r\n.\r\n");
}

TEST(CEndOfData, LookalikesDoNotEnd) {
    EXPECT_EQ(run({"a\r\n..\r\n"}), "<open>");     // a stuffed line holding one dot
    EXPECT_EQ(run({"a.\r\n"}), "<open>");          // a dot at the end of a line
    EXPECT_EQ(run({"a\r\n", "x.\r\n"}), "<open>"); // "." CR LF not at a line start
    EXPECT_EQ(run({"a\n.\n"}), "<open>");          // bare line feeds
    EXPECT_EQ(run({""}), "<open>");
}
