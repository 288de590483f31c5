#include "send/CMessageComposer.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const std::string kMime = "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=iso-8859-1\r\n"
                          "Content-Transfer-Encoding: quoted-printable\r\n";

std::string endingOf(std::initializer_list<std::string_view> pieces) {
    CDataEnding ending;
    for (auto piece : pieces)
        ending.feed(piece);
    return std::string(ending.terminator());
}

} // namespace

TEST(CMessageComposer, HeaderLinesComeInOrderAndOnlyWhenGiven) {
    EXPECT_EQ(CMessageComposer::composeHeader("", "", "", 0), "X-Mailer: Velmo 1.0\r\n");
    EXPECT_EQ(CMessageComposer::composeHeader("Anna <a@x.se>", "Bo <b@y.se>", "Hej", 0),
              "X-Mailer: Velmo 1.0\r\nFrom: Anna <a@x.se>\r\nTo: Bo <b@y.se>\r\nSubject: Hej\r\n");
    EXPECT_EQ(CMessageComposer::composeHeader("", "Bo <b@y.se>", "", 1),
              "X-Mailer: Velmo 1.0\r\nTo: Bo <b@y.se>\r\n" + kMime);
    EXPECT_EQ(CMessageComposer::composeHeader("Anna <a@x.se>", "", "\xC5r", 1),
              "X-Mailer: Velmo 1.0\r\nFrom: Anna <a@x.se>\r\nSubject: \xC5r\r\n" + kMime);
    // Only the value 1 selects the encoding.
    EXPECT_EQ(CMessageComposer::composeHeader("", "", "", 2), "X-Mailer: Velmo 1.0\r\n");
    EXPECT_EQ(CMessageComposer::composeHeader("", "", "", -1), "X-Mailer: Velmo 1.0\r\n");
}

TEST(CMessageComposer, OnlyBytesFrom0x80AreEncoded) {
    EXPECT_EQ(CMessageComposer::encodeHighBytes("\xE5"
                                                "a\xF6"),
              "=E5a=F6");
    EXPECT_EQ(CMessageComposer::encodeHighBytes("a=3D\x7F\x80\xFF\r\n"), "a=3D\x7F=80=FF\r\n");
    EXPECT_EQ(CMessageComposer::encodeHighBytes(""), "");
    for (int b = 0; b < 256; ++b) {
        const std::string in(1, static_cast<char>(b));
        char expected[4];
        std::snprintf(expected, sizeof expected, "=%02X", b);
        EXPECT_EQ(CMessageComposer::encodeHighBytes(in), b < 0x80 ? in : std::string(expected))
            << b;
    }
}

TEST(CMessageComposer, LeadingDotsAreDoubledOnEveryLine) {
    EXPECT_EQ(CMessageComposer::makeTransparent("."), "..");
    EXPECT_EQ(CMessageComposer::makeTransparent(".\r\n"), "..\r\n");
    EXPECT_EQ(CMessageComposer::makeTransparent("a\r\n.\r\nb"), "a\r\n..\r\nb");
    EXPECT_EQ(CMessageComposer::makeTransparent("..x\r\n.y.\r\nz."), "...x\r\n..y.\r\nz.");
    EXPECT_EQ(CMessageComposer::makeTransparent(""), "");
    EXPECT_EQ(CMessageComposer::makeTransparent("no dots. here.\r\n"), "no dots. here.\r\n");
}

TEST(CMessageComposer, LoneLineBreaksBecomeCrLf) {
    // A bare LF before "." would otherwise end the data early at a server that takes LF alone
    // as a line end.
    EXPECT_EQ(CMessageComposer::makeTransparent("a\n.\nb"), "a\r\n..\r\nb");
    EXPECT_EQ(CMessageComposer::makeTransparent("a\r.\rb"), "a\r\n..\r\nb");
    EXPECT_EQ(CMessageComposer::makeTransparent("a\r\r\n\n"), "a\r\n\r\n\r\n");
    EXPECT_EQ(CMessageComposer::makeTransparent("\n\n"), "\r\n\r\n");
}

TEST(CMessageComposer, TheTerminatorStandsOnALineOfItsOwnAndIsNeverDoubled) {
    EXPECT_EQ(endingOf({}), ".\r\n"); // nothing sent yet: the data starts on a fresh line
    EXPECT_EQ(endingOf({"header\r\n", "\r\n"}), ".\r\n");
    EXPECT_EQ(endingOf({"header\r\n", "\r\n", "body"}), "\r\n.\r\n");
    EXPECT_EQ(endingOf({"header\r\n\r\nbody\r\n"}), ".\r\n");
    EXPECT_EQ(endingOf({"x\r\n..\r\n"}), ".\r\n");
    // A retrieved message brings its own terminating line.
    EXPECT_EQ(endingOf({"Subject: x\r\n\r\nbody\r\n.\r\n"}), "");
    EXPECT_EQ(endingOf({".\r\n"}), "");
    // However the pieces fall.
    EXPECT_EQ(endingOf({"body\r\n.", "\r", "\n"}), "");
    EXPECT_EQ(endingOf({"body\r", "\n", ".\r\n"}), "");
    EXPECT_EQ(endingOf({std::string(3000, 'x'), "\r\n"}), ".\r\n");
    EXPECT_EQ(endingOf({"\r\n.\r\n", "more"}), "\r\n.\r\n");
}
