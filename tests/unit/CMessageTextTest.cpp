#include "pop3/CMessageText.h"
#include "pop3/CHtmlText.h"
#include "pop3/CMimeBounds.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string preview(const std::string& reply) {
    return CMessageText::preview(reply);
}

std::size_t occurrences(std::string_view text, std::string_view word) {
    std::size_t n = 0;
    for (std::size_t at = text.find(word); at != std::string_view::npos;
         at = text.find(word, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(CMessageText, APlainMessageShowsAsSentUpToTheEndOfTheData) {
    // Codes stay where no transfer encoding says quoted-printable; the data ends at its
    // terminating line, a leading dot the server doubled is single again.
    EXPECT_EQ(preview("Received: from x\r\n\tby y\r\nSubject: x\r\n\r\nK=E4ra\r\n..punkt\r\n.\r\n"
                      "efter"),
              "Received: from x\r\n\tby y\r\nSubject: x\r\n\r\nK=E4ra\r\n.punkt");
    EXPECT_EQ(preview("Subject: quoted-printable\r\n\r\n=41\r\n.\r\n"),
              "Subject: quoted-printable\r\n\r\n=41");
    EXPECT_EQ(preview("Subject: x\r\n\r\n.\r\n"), "Subject: x\r\n");
    EXPECT_EQ(preview("avbruten utan slut"), "avbruten utan slut");
    EXPECT_EQ(preview(""), "");
}

TEST(CMessageText, HeaderFieldsAndBodiesAreDecodedFromWhatTheyDeclare) {
    // Quoted-printable in either case of hex digit, soft line breaks joined; 8-bit text in the
    // declared charset; a header field with encoded words unfolded and decoded.
    EXPECT_EQ(preview("Subject: =?utf-8?q?M=C3=B6te?=\r\n =?utf-8?q?_i_dag?=\r\n"
                      "Content-Type: text/plain; charset=iso-8859-15\r\n"
                      "Content-Transfer-Encoding: Quoted-Printable\r\n\r\n"
                      "K=e4ra v=E4n=\r\nner, 5 =A4\r\n.\r\n"),
              "Subject: Möte i dag\r\nContent-Type: text/plain; charset=iso-8859-15\r\n"
              "Content-Transfer-Encoding: Quoted-Printable\r\n\r\nKära vänner, 5 €");
    // No charset and 8-bit bytes: UTF-8 when valid, else Windows-1252, header and body alike.
    EXPECT_EQ(preview("From: \xC5sa <a@x>\r\n\r\nH\xE4r \x93"
                      "citat\x94\r\n.\r\n"),
              "From: Åsa <a@x>\r\n\r\nHär “citat”");
    EXPECT_EQ(preview("Subject: Räksmörgås\r\n\r\nGröt\r\n.\r\n"),
              "Subject: Räksmörgås\r\n\r\nGröt");
}

TEST(CMessageText, MultipartMessagesShowTheirPlainTextElseTheirHtml) {
    const std::string alternative =
        "Subject: x\r\nMIME-Version: 1.0\r\nContent-Type: multipart/alternative; boundary=\"b\"\r\n"
        "\r\nThis is a multi-part message.\r\n--b\r\n"
        "Content-Type: text/plain; charset=\"utf-8\"\r\nContent-Transfer-Encoding: base64\r\n\r\n"
        "SGVqIHDDpSBkaWchCk3DpHJ0YQo=\r\n--b\r\n"
        "Content-Type: text/html; charset=\"utf-8\"\r\nContent-Transfer-Encoding: base64\r\n\r\n"
        "PHA+SGVqPC9wPg==\r\n--b--\r\n";
    EXPECT_EQ(CMessageText::readableText(alternative), "Hej på dig!\r\nMärta");
    // A part cut off by the line limit is decoded as far as it goes.
    EXPECT_EQ(CMessageText::readableText(alternative.substr(0, alternative.find("Ck3D"))),
              "Hej på dig!");
    // HTML alone, and a plain part that is an attachment, which no one reads as the message.
    const std::string htmlOnly =
        "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n"
        "Content-Type: text/plain\r\nContent-Disposition: attachment; filename=a.txt\r\n\r\n"
        "bifogad\r\n--b\r\nContent-Type: text/html; charset=iso-8859-1\r\n"
        "Content-Transfer-Encoding: quoted-printable\r\n\r\n"
        "<html><head><style>p {}</style></head><body><p>F=F6rsta &amp; st=F6rsta</p>\r\n"
        "<p>Andra<br>raden</p></body></html>\r\n--b--\r\n";
    EXPECT_EQ(CMessageText::readableText(htmlOnly), "Första & största\r\n\r\nAndra\r\nraden");
    // Nothing a person reads: no text at all.
    EXPECT_EQ(CMessageText::readableText("Content-Type: image/png\r\n"
                                         "Content-Transfer-Encoding: base64\r\n\r\niVBORw0K\r\n"),
              "");
}

TEST(CMessageText, HtmlBecomesTheTextABrowserShows) {
    EXPECT_EQ(
        CHtmlText::toPlainText("<title>T</title><script>x<y</script><p>Ett  \r\n tv&aring;"
                               "</p><ul><li>a<li>b</ul><pre> x\r\n  y</pre>"
                               "<table><tr><td>1<td>2</table>&#229;&#xE5;&nbsp;&bogus; a < b"),
        "Ett två\r\n\r\n- a\r\n- b\r\n\r\n x\r\n  y\r\n\r\n1 2\r\n\r\nåå\u00A0&bogus; a < b");
}

TEST(CMessageText, TheParserReadsNoMoreStructureThanTheBoundsAllow) {
    // Multiparts inside each other behind folded, spaced, commented and capitalised types: the
    // parser reads the first 32, and the text before the cut is still found.
    std::string nested = "Content-Type: multipart/mixed; boundary=b0\r\n\r\n--b0\r\n"
                         "Content-Type: text/plain\r\n\r\nHej\r\n--b0\r\n";
    for (int level = 1; level < 100; ++level) {
        const std::string boundary = "b" + std::to_string(level);
        nested += (level % 2 ? "Content-Type :\r\n\t(x) MULTI" : "content-type: multi") +
                  std::string("part/mixed;\r\n boundary=") + boundary + "\r\n\r\n--" + boundary +
                  "\r\n";
    }
    const std::string_view parsed = CMimeBounds::parsed(nested);
    EXPECT_EQ(occurrences(parsed, "part/mixed"), 32u);
    EXPECT_EQ(nested.substr(parsed.size(), 24), "content-type: multipart/");
    EXPECT_EQ(CMessageText::readableText(nested), "Hej");
    // Attached messages count too, also where a digest makes a part one without saying so.
    std::string digest = "Content-Type: multipart/digest; boundary=d\r\n\r\n";
    for (int i = 0; i < 40; ++i)
        digest += "--d\r\n\r\nSubject: " + std::to_string(i) + "\r\n\r\ntext\r\n";
    EXPECT_EQ(occurrences(CMimeBounds::parsed(digest), "Subject:"), 31u);

    // Parts and header lines: a few MB of them would cost the parser hundreds of MB.
    const std::string parts = "Content-Type: multipart/mixed; boundary=a\r\n\r\n--a\r\n\r\n"
                              "Hej\r\n";
    std::string manyParts = parts;
    for (int i = 0; i < 20000; ++i)
        manyParts += "--a\r\n\r\n";
    EXPECT_EQ(occurrences(CMimeBounds::parsed(manyParts), "--a"),
              std::size_t{CMimeBounds::kPartsMax});
    EXPECT_EQ(CMessageText::readableText(manyParts), "Hej");
    std::string manyLines = "Subject: x\r\n";
    while (manyLines.size() < 300000)
        manyLines += "X:\r\n";
    manyLines += "\r\nHej\r\n";
    EXPECT_LE(CMimeBounds::parsed(manyLines).size(), CMimeBounds::kHeaderBytesMax);
    // A header block too long for the parser shows as it stands.
    EXPECT_EQ(preview(manyLines), manyLines);

    // Bodies are not structure: text of any length, "--" lines in a message without
    // multiparts, and a long text part after its header, all reach the parser whole.
    std::string plain = "Subject: x\r\n\r\n";
    for (int i = 0; i < 20000; ++i)
        plain += "-- \r\nX: y\r\n";
    EXPECT_EQ(CMimeBounds::parsed(plain).size(), plain.size());
    const std::string longPart = parts + std::string(2000000, 'x') + "\r\n--a--\r\n";
    EXPECT_EQ(CMimeBounds::parsed(longPart).size(), longPart.size());
}
