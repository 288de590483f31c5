#include "send/CHeaderWordEncoder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string times(int n, const std::string& text) {
    std::string out;
    while (n-- > 0)
        out += text;
    return out;
}

} // namespace

TEST(CHeaderWordEncoder, ALongTextIsFoldedIntoWordsThatNeverSplitACharacter) {
    // Text that fits ISO-8859-1 goes out in it. 19 three-character codes make a word of 74; a
    // 20th would pass 75.
    const std::string full = "=?iso-8859-1?Q?" + times(19, "=E5") + "?=\r\n ";
    EXPECT_EQ(CHeaderWordEncoder::encodeText(times(100, "å")),
              times(5, full) + "=?iso-8859-1?Q?" + times(5, "=E5") + "?=");
    // In UTF-8 the eleventh character would fit by its first byte alone: it goes whole to a new
    // word.
    EXPECT_EQ(CHeaderWordEncoder::encodeWords(times(11, "å"), "UTF-8"),
              "=?UTF-8?Q?" + times(10, "=C3=A5") + "?=\r\n =?UTF-8?Q?=C3=A5?=");
    // One character beyond ISO-8859-1 sends the whole text in UTF-8, nothing replaced.
    EXPECT_EQ(CHeaderWordEncoder::encodeText(times(10, "å") + "€"),
              "=?utf-8?Q?" + times(10, "=C3=A5") + "?=\r\n =?utf-8?Q?=E2=82=AC?=");
    EXPECT_EQ(CHeaderWordEncoder::encodeDisplayName(" Łucja <l@x.pl>"),
              " =?utf-8?Q?=C5=81ucja?= <l@x.pl>");
    // An 8-bit address is no display name: the header text stays.
    EXPECT_EQ(CHeaderWordEncoder::encodeDisplayName("Bo <bå@x.se>"), "Bo <bå@x.se>");
}
