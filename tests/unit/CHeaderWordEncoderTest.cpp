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
    // 19 three-character codes make a word of 74; a 20th would pass 75.
    const std::string full = "=?iso-8859-1?Q?" + times(19, "=E5") + "?=\r\n ";
    EXPECT_EQ(CHeaderWordEncoder::encodeWords(std::string(100, '\xE5'), "iso-8859-1"),
              times(5, full) + "=?iso-8859-1?Q?" + times(5, "=E5") + "?=");
    // In UTF-8 the eleventh character would fit by its first byte alone: it goes whole to a new
    // word.
    EXPECT_EQ(CHeaderWordEncoder::encodeWords(times(11, "\xC3\xA5"), "UTF-8"),
              "=?UTF-8?Q?" + times(10, "=C3=A5") + "?=\r\n =?UTF-8?Q?=C3=A5?=");
    // An 8-bit address is no display name: the header text stays.
    EXPECT_EQ(CHeaderWordEncoder::encodeDisplayName("Bo <b\xE5@x.se>", "iso-8859-1"),
              "Bo <b\xE5@x.se>");
}
