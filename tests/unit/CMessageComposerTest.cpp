#include "send/CMessageComposer.h"
#include "send/CDataEnding.h"
#include "send/CMessageStamps.h"

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
    using Fields = CMessageComposer::HeaderFields;
    EXPECT_EQ(CMessageComposer::composeHeader(Fields{}, false), "X-Mailer: Velmo 1.0\r\n");
    EXPECT_EQ(
        CMessageComposer::composeHeader(
            {"Tue, 8 Dec 2026 10:00:00 +0100", "a@x.se", "Bo <b@y.se>", "Hej", "<1@x.se>"}, false),
        "X-Mailer: Velmo 1.0\r\nDate: Tue, 8 Dec 2026 10:00:00 +0100\r\nFrom: a@x.se\r\n"
        "To: Bo <b@y.se>\r\nSubject: Hej\r\nMessage-ID: <1@x.se>\r\n");
    EXPECT_EQ(CMessageComposer::composeHeader({.to = "Bo <b@y.se>"}, true),
              "X-Mailer: Velmo 1.0\r\nTo: Bo <b@y.se>\r\n" + kMime);
    EXPECT_EQ(
        CMessageComposer::composeHeader({.from = "Åsa Berg <å@x.se>", .subject = "År 1"}, true),
        "X-Mailer: Velmo 1.0\r\nFrom: =?iso-8859-1?Q?=C5sa=20Berg?= <å@x.se>\r\n"
        "Subject: =?iso-8859-1?Q?=C5r=201?=\r\n" +
            kMime);
    // A name that a plain phrase cannot hold goes in quotes; a bare address is never a name.
    EXPECT_EQ(CMessageComposer::composeHeader(
                  {.from = "Berg, Anna B. <a@x.se>", .to = "Bo \"B\" <b@y.se>"}, false),
              "X-Mailer: Velmo 1.0\r\nFrom: \"Berg, Anna B.\" <a@x.se>\r\n"
              "To: \"Bo \\\"B\\\"\" <b@y.se>\r\n");
    EXPECT_EQ(CMessageComposer::composeHeader({.from = "å@x.se"}, false),
              "X-Mailer: Velmo 1.0\r\nFrom: å@x.se\r\n");
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
            CMessageComposer::composeHeader({.from = from, .subject = typed}, false) + "\r\n", "-");
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

TEST(CMessageStamps, DatesInEnglishWithTheOffsetAndIdsThatAreValidAndUnique) {
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = 11;
    t.tm_mday = 8;
    t.tm_wday = 2;
    t.tm_hour = 9;
    t.tm_min = 5;
    t.tm_sec = 7;
    EXPECT_EQ(CMessageStamps::formatDate(t, 3600), "Tue, 8 Dec 2026 09:05:07 +0100");
    EXPECT_EQ(CMessageStamps::formatDate(t, -(3 * 3600 + 1800)), "Tue, 8 Dec 2026 09:05:07 -0330");

    EXPECT_EQ(CMessageStamps::idDomain("a@b@example.org"), "example.org");
    for (const char* odd : {"anna", "anna@", "a@exa mple.org", "a@x..se", "a@.x.se", "a@åäö.se"})
        EXPECT_EQ(CMessageStamps::idDomain(odd), "localhost") << odd;
    CMessageStamps stamps;
    const std::string id = stamps.messageId("example.org");
    EXPECT_TRUE(id.starts_with("<") && id.ends_with("@example.org>")) << id;
    EXPECT_NE(stamps.messageId("example.org"), id);
}
