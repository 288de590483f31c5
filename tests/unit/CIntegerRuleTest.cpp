#include "dialogs/CIntegerRule.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

TEST(CIntegerRule, AcceptsSignedDecimalWithBlanksAround) {
    const std::vector<std::pair<std::string, int>> accepted = {
        {" 110 ", 110},
        {"\t-1\t", -1},
        {"0", 0},
        {"+5", 5},
        {"-2147483648", std::numeric_limits<int>::min()},
        {"2147483647", std::numeric_limits<int>::max()},
        {"007", 7},
        {" \t-0042 \t", -42}};
    for (const auto& [text, expected] : accepted) {
        int value = 12345;
        EXPECT_TRUE(CIntegerRule::parse(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, expected) << '"' << text << '"';
    }
}

// A refused text leaves the caller's value alone, so a dialog can read into its own field.
TEST(CIntegerRule, RefusesEverythingElseAndLeavesValueUntouched) {
    std::vector<std::string> refused = {
        "",     "  ",   "\t",         "110x",        "1 1",        "+0",  "-0",      "-00",
        "+000", "0x10", "2147483648", "-2147483649", "4294967296", "1.5", "+",       "-",
        "- 5",  "+-5",  "5-",         "1e3",         "\n5",        "5\r", "\u00A0 5"};
    refused.emplace_back("5\0", 2); // a NUL from a pasted text ends nothing
    refused.emplace_back(40, '9');  // far beyond any accumulator
    for (const std::string& text : refused) {
        int value = 12345;
        EXPECT_FALSE(CIntegerRule::parse(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 12345) << '"' << text << '"';
    }
}

TEST(CIntegerRule, MessageTexts) {
    EXPECT_EQ(CIntegerRule::notAnInteger, "Please enter an integer.");
    EXPECT_EQ(CIntegerRule::rangeMessage(1, 10), "Please enter an integer between 1 and 10.");
    EXPECT_EQ(CIntegerRule::rangeMessage(-5, 2147483647),
              "Please enter an integer between -5 and 2147483647.");
}
