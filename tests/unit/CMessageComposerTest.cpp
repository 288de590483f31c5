#include "send/CMessageComposer.h"

#include "pop3/CHeaderDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    EXPECT_EQ(CMessageComposer::composeHeader("", "", "", false), "X-Mailer: Velmo 1.0\r\n");
    EXPECT_EQ(CMessageComposer::composeHeader("Anna <a@x.se>", "Bo <b@y.se>", "Hej", false),
              "X-Mailer: Velmo 1.0\r\nFrom: Anna <a@x.se>\r\nTo: Bo <b@y.se>\r\nSubject: Hej\r\n");
    EXPECT_EQ(CMessageComposer::composeHeader("", "Bo <b@y.se>", "", true),
              "X-Mailer: Velmo 1.0\r\nTo: Bo <b@y.se>\r\n" + kMime);
    EXPECT_EQ(CMessageComposer::composeHeader("Åsa Berg <å@x.se>", "", "År 1", true),
              "X-Mailer: Velmo 1.0\r\nFrom: =?iso-8859-1?Q?=C5sa=20Berg?= <å@x.se>\r\n"
              "Subject: =?iso-8859-1?Q?=C5r=201?=\r\n" +
                  kMime);
    // 8-bit text is always encoded; the owner may force it for 7-bit text with 1 alone.
    EXPECT_TRUE(CMessageComposer::choosesQuotedPrintable("två", 0));
    EXPECT_TRUE(CMessageComposer::choosesQuotedPrintable("a", 1));
    EXPECT_FALSE(CMessageComposer::choosesQuotedPrintable("a=41\x01\x7F", 0));
    EXPECT_FALSE(CMessageComposer::choosesQuotedPrintable("a", 2));
}

TEST(CMessageComposer, TheProgramsOwnDecoderReadsBackTypedNamesAndSubjects) {
    std::string longest; // 19 characters of ISO-8859-1, 57 of codes: one word of 74
    for (int i = 0; i < 19; ++i)
        longest += "å";
    for (const std::string& typed : std::vector<std::string>{"Räksmörgås", "Åsa_B? = 100% (x) ",
                                                             "=?iso-8859-1?Q?å", longest}) {
        const std::string from = typed + " <a@x.se>";
        const auto summary = CHeaderDecoder::summarize(
            CMessageComposer::composeHeader(from, "", typed, false) + "\r\n", "-");
        EXPECT_EQ(summary.from, from);
        EXPECT_EQ(summary.subject, typed);
    }
}

TEST(CMessageComposer, QuotedPrintableCodesOnlyWhatCannotStandForItself) {
    EXPECT_EQ(CMessageComposer::encodeQuotedPrintable(
                  "R\xE4ksm\xF6rg\xE5s =41\tslut \t\r\n.punkt.\n\x01\x7F\rx "),
              "R=E4ksm=F6rg=E5s =3D41\tslut =09\r\n=2Epunkt.\r\n=01=7F\r\nx=20");
    const std::string a75(75, 'a');
    // A line of 76 fits; the soft break's "=" takes the last column and never cuts a code.
    EXPECT_EQ(CMessageComposer::encodeQuotedPrintable(a75 + "a"), a75 + "a");
    EXPECT_EQ(CMessageComposer::encodeQuotedPrintable(a75 + "aa"), a75 + "=\r\naa");
    EXPECT_EQ(CMessageComposer::encodeQuotedPrintable(a75 + " "), a75 + "=\r\n=20");
    EXPECT_EQ(CMessageComposer::encodeQuotedPrintable(std::string(73, 'a') + "å.b"),
              std::string(73, 'a') + "=\r\n=C3=A5.b");
    EXPECT_EQ(CMessageComposer::encodeQuotedPrintable(a75 + ".b"), a75 + "=\r\n=2Eb");
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
