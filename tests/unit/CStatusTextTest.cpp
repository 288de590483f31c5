#include "app/CStatusText.h"

#include <gtest/gtest.h>

TEST(CStatusText, AReplyOfSeveralLinesReadsAsOne) {
    // A refusal as large providers word it: the repeated code and enhanced code go.
    EXPECT_EQ(CStatusText::oneLine("smtp.example: AUTH: 535-5.7.8 Username and Password not "
                                   "accepted.\r\n535-5.7.8 For more, see\r\n535 5.7.8  "
                                   "https://example.org/help x\r\n"),
              "smtp.example: AUTH: 535 5.7.8 Username and Password not accepted. For more, see "
              "https://example.org/help x");
    // Continuation lines with another enhanced code keep it; a bare code line adds nothing.
    EXPECT_EQ(CStatusText::oneLine("s: RCPT TO: 550-5.1.1 No such user\n550-\n550 5.7.1 Blocked"),
              "s: RCPT TO: 550 5.1.1 No such user 5.7.1 Blocked");
    // One line loses only its line end; lines without codes are joined as they stand.
    EXPECT_EQ(CStatusText::oneLine("RETR: -ERR no such message\r\n"), "RETR: -ERR no such message");
    EXPECT_EQ(CStatusText::oneLine("a\r\n\r\n  b  \rc"), "a b c");
    EXPECT_EQ(CStatusText::oneLine("\r\n"), "");
}
