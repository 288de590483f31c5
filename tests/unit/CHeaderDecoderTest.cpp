#include "pop3/CHeaderDecoder.h"

#include <gtest/gtest.h>

namespace {

std::string field(std::string_view text, std::string_view key) {
    bool found = false;
    std::string value = CHeaderDecoder::fieldValue(text, key, found);
    return found ? value : "<none>";
}

std::string decoded(std::string text) {
    CHeaderDecoder::decodeEncodedWord(text);
    return text;
}

} // namespace

TEST(CHeaderDecoder, HexPairs) {
    EXPECT_EQ(CHeaderDecoder::decodeHexPair('E', '4'), 0xE4);
    EXPECT_EQ(CHeaderDecoder::decodeHexPair('e', '4'), 0xE4);
    EXPECT_EQ(CHeaderDecoder::decodeHexPair('0', 'a'), 0x0A);
    EXPECT_EQ(CHeaderDecoder::decodeHexPair('0', '0'), 0);
    EXPECT_EQ(CHeaderDecoder::decodeHexPair('G', '1'), 0);
    EXPECT_EQ(CHeaderDecoder::decodeHexPair('1', '\r'), 0);
}

TEST(CHeaderDecoder, FieldValuesComeFromTheFirstKeyAnywhere) {
    const std::string top = "Resent-From: first@x\r\nFROM: second@x\r\nSubject:  Hej  \r\n"
                            "Date: Tue, 8 Dec 2026\r\n\r\n.\r\n";
    EXPECT_EQ(field(top, "from:"), "first@x");
    EXPECT_EQ(field(top, "subject:"), "Hej  "); // trailing blanks stay
    EXPECT_EQ(field(top, "date:"), "Tue, 8 Dec 2026");
    EXPECT_EQ(field("From:anna@x\r\n", "from:"), "nna@x"); // one character after the colon skipped
    EXPECT_EQ(field("Subject: Lång\r\n rad\r\n", "subject:"), "Lång"); // folded: first line only
    EXPECT_EQ(field("Subject: utan radslut", "subject:"), "utan radslut");
    EXPECT_EQ(field("From: a\r\n", "date:"), "<none>");
    EXPECT_EQ(field("x date:", "date:"), "");
    EXPECT_EQ(field("", "from:"), "<none>");
    EXPECT_EQ(field(std::string(5000, 'a') + "\r\nSubject: " + std::string(3000, 'b') + "\r\n",
                    "subject:")
                  .size(),
              3000u);
}

TEST(CHeaderDecoder, EncodedWords) {
    EXPECT_EQ(decoded("=?iso-8859-1?Q?R=E4kning?="), "R\xE4kning");
    EXPECT_EQ(decoded("=?iso-8859-1?Q?Hej_d=E5?= <hej@example.org>"),
              "Hej_d\xE5 <hej@example.org>");
    EXPECT_EQ(decoded("=?ISO-8859-1?Q?R=E4kning?="), "=?ISO-8859-1?Q?R=E4kning?=");
    EXPECT_EQ(decoded("ingen kod =E4"), "ingen kod =E4");
    // A second encoded word keeps its prefix and suffix; its codes are decoded.
    EXPECT_EQ(decoded("=?iso-8859-1?Q?=C5r?= =?iso-8859-1?Q?=F6l?="),
              "\xC5r =?iso-8859-1?Q?\xF6l?=");
    // Text before the prefix stays as it is.
    EXPECT_EQ(decoded("Re: =E4 =?iso-8859-1?Q?R=E4kning?="), "Re: =E4 R\xE4kning");
    // "=3D" gives "=", which is not read again as the start of a code.
    EXPECT_EQ(decoded("=?iso-8859-1?Q?a=3DE4?="), "a=E4");
    EXPECT_EQ(decoded("=?iso-8859-1?Q?x=00=4"), "x=00=4");
}

TEST(CHeaderDecoder, PreviewDecodesOnlyQuotedPrintableAndCutsAtTheEnd) {
    const std::string qp = "Content-Transfer-Encoding: quoted-printable\r\n\r\nK=e4ra v=C4n=\r\n"
                           "noll=00 och =ZZ\r\n.\r\nefter";
    EXPECT_EQ(CHeaderDecoder::previewText(qp),
              "Content-Transfer-Encoding: quoted-printable\r\n\r\nK\xe4ra v\xC4n=\r\n"
              "noll=00 och =ZZ");
    EXPECT_EQ(CHeaderDecoder::previewText("Subject: x\r\n\r\nK=E4ra\r\n.\r\n"),
              "Subject: x\r\n\r\nK=E4ra");
    EXPECT_EQ(CHeaderDecoder::previewText("=41 quoted-printable"), "=41 quoted-printable");
    EXPECT_EQ(CHeaderDecoder::previewText("Quoted-Printable =41"), "Quoted-Printable =41");
    EXPECT_EQ(CHeaderDecoder::previewText("avbruten utan slut"), "avbruten utan slut");
    EXPECT_EQ(CHeaderDecoder::previewText(""), "");
}
