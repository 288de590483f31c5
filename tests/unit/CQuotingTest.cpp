#include "dialogs/CQuoting.h"

#include <gtest/gtest.h>

#include <string>

TEST(CQuoting, AMessageWithoutBodyQuotesNothing) {
    // RETR of a message whose body is empty: the terminating line follows the empty line at
    // once and must not be quoted as a line of its own.
    const std::string header = "Subject: x\r\n";
    const std::string top = header + "\r\n.\r\n";
    EXPECT_EQ(CQuoting::replyBody(header + "\r\n.\r\n", top.size()), "");
    EXPECT_EQ(CQuoting::replyBody(header + "\r\n..\r\n.\r\n", top.size()), ".");
    EXPECT_EQ(CQuoting::replyBody(header + "\r\n\r\n.\r\n", top.size()), "");
}

TEST(CQuoting, EveryLineIsMarked) {
    EXPECT_EQ(CQuoting::quote("ett\r\ntvå\r\n"), "> ett\r\n> två\r\n> ");
    EXPECT_EQ(CQuoting::quote("a\n\nb"), "> a\n> \n> b");
    EXPECT_EQ(CQuoting::quote(""), "> ");
}
