#include "pop3/CHeaderDecoder.h"

#include <gtest/gtest.h>

namespace {

std::string field(std::string_view text, std::string_view key) {
    bool found = false;
    std::string value = CHeaderDecoder::fieldValue(text, key, found);
    return found ? value : "<none>";
}

std::string decoded(std::string_view text) {
    return CHeaderDecoder::decodeText(text);
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

TEST(CHeaderDecoder, FieldValuesComeFromTheFirstKeyAnywhereAndAreUnfolded) {
    const std::string top = "Resent-From: first@x\r\nFROM: second@x\r\nSubject:  Hej  \r\n"
                            "Date: Tue, 8 Dec 2026\r\n\r\n.\r\n";
    EXPECT_EQ(field(top, "from:"), "first@x");
    EXPECT_EQ(field(top, "subject:"), "Hej  "); // trailing blanks stay
    EXPECT_EQ(field(top, "date:"), "Tue, 8 Dec 2026");
    EXPECT_EQ(field("From:anna@x\r\n", "from:"), "nna@x"); // one character after the colon skipped
    // A folded field is one value: the line breaks go, the blank or tab after them stays.
    EXPECT_EQ(field("Subject: Lång\r\n rad\r\n\tslut\r\nTo: x\r\n", "subject:"), "Lång rad\tslut");
    EXPECT_EQ(field("Subject: a\r\n\r\n body\r\n", "subject:"), "a");
    EXPECT_EQ(field("Subject: utan radslut", "subject:"), "utan radslut");
    EXPECT_EQ(field("From: a\r\n", "date:"), "<none>");
    EXPECT_EQ(field("x date:", "date:"), "");
    EXPECT_EQ(field("", "from:"), "<none>");
    EXPECT_EQ(field(std::string(5000, 'a') + "\r\nSubject: " + std::string(3000, 'b') + "\r\n",
                    "subject:")
                  .size(),
              3000u);
}

TEST(CHeaderDecoder, EncodedWordsInEveryFormAndCharset) {
    EXPECT_EQ(decoded("=?iso-8859-1?Q?R=E4kning?="), "Räkning");
    EXPECT_EQ(decoded("=?ISO-8859-1?q?R=E4kning?="), "Räkning");
    EXPECT_EQ(decoded("=?iso-8859-1?Q?Hej_d=E5?= <hej@example.org>"), "Hej då <hej@example.org>");
    EXPECT_EQ(decoded("=?UTF-8?B?w4VzYSBMaW5k?= <asa@example.se>"), "Åsa Lind <asa@example.se>");
    EXPECT_EQ(decoded("=?utf-8?b?8J+YgA==?="), "\U0001F600");
    EXPECT_EQ(decoded("=?ISO-8859-15?Q?5_=A4?="), "5 €");
    EXPECT_EQ(decoded("=?windows-1252?Q?=93Hej=94?="), "“Hej”");
    EXPECT_EQ(decoded("=?iso-2022-jp?B?GyRCJEokcyQrGyhC?="), "なんか");
    // Adjacent words join without the white space between them, even across a fold and when
    // one character is split between them; text between words keeps its blanks.
    EXPECT_EQ(decoded("=?utf-8?q?Bj=C3?= \t =?utf-8?q?=B6rn?="), "Björn");
    EXPECT_EQ(decoded("=?iso-8859-1?Q?=C5r?= =?iso-8859-1?Q?=F6l?= och =?utf-8?q?m=C3=A4sk?="),
              "Åröl och mäsk");
    EXPECT_EQ(decoded("=?UTF-8?B?w4U=?= =?UTF-8?B?w4U=?=\t=?UTF-8?B?w4VzYQ?="), "ÅÅÅsa");
    // Bytes a charset does not have, or a charset nobody knows: UTF-8, else Windows-1252.
    EXPECT_EQ(decoded("=?utf-8?q?=E5?= =?x-okand?Q?=E5?="), "åå");
    EXPECT_EQ(decoded("Re: =E4 =?iso-8859-1?Q?R=E4kning?="), "Re: =E4 Räkning");
    EXPECT_EQ(decoded("=?iso-8859-1?Q?a=3DE4?="), "a=E4");
    // Malformed words stay as they stand.
    EXPECT_EQ(decoded("=?iso-8859-1?Q?x=00=4"), "=?iso-8859-1?Q?x=00=4");
    EXPECT_EQ(decoded("=?utf-8?X?abc?="), "=?utf-8?X?abc?=");
    EXPECT_EQ(decoded("ingen kod =E4"), "ingen kod =E4");
    // Raw 8-bit text: UTF-8 when valid, else Windows-1252; decoded line breaks become blanks.
    EXPECT_EQ(decoded("Räksmörgås"), "Räksmörgås");
    EXPECT_EQ(decoded("R\xE4ksm\xF6rg\xE5s \x80"), "Räksmörgås €");
    EXPECT_EQ(decoded("=?utf-8?q?tv=C3=A5=0D=0Arader?= och \xE5"), "två rader och å");
}

TEST(CHeaderDecoder, SummaryKeepsTheMissingRulesAndShowsTheDateAsSent) {
    const auto summary = CHeaderDecoder::summarize(
        "Subject: =?UTF-8?B?TMOlbmcgcmFk?=\r\n =?UTF-8?Q?_som_forts=C3=A4tter?=\r\n"
        "Date: =?utf-8?q?8_dec?=\r\n\r\n.\r\n",
        "-saknas-");
    EXPECT_EQ(summary.from, "-saknas-");
    EXPECT_EQ(summary.subject, "Lång rad som fortsätter");
    EXPECT_EQ(summary.date, "=?utf-8?q?8_dec?=");
    const auto refused = CHeaderDecoder::summarize("", "-saknas-");
    EXPECT_EQ(refused.from + refused.subject + refused.date, "-saknas--saknas--saknas-");
}
