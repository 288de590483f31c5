#!/usr/bin/env python3
"""Writes the hand-made seed inputs of the fuzz targets into tests/fuzz/corpus/<target>/.

The seeds are the cases the unit tests already know, laid out as each target reads its input.
The DNS seeds also hold real dnsmasq answers: tools/capture-dns-answers.py writes those.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "..", "tests", "fuzz", "corpus")


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("latin-1")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def strings(*parts):
    """Texts as FuzzedDataProvider's ConsumeRandomLengthString reads them one after another."""
    return "\\x".join(p.replace("\\", "\\\\") for p in parts).encode("latin-1")


def cuts(stream, lengths):
    """A data block followed by receive lengths as fuzz_end_of_data consumes them from the end."""
    tail = b""
    for n in reversed(lengths):
        tail += bytes([n & 0xFF, n >> 8])
    return stream.encode("latin-1") + tail + bytes([len(lengths)])


def dns_name(dotted):
    return b"".join(bytes([len(p)]) + p.encode() for p in dotted.split(".")) + b"\x00"


HEADERS = {
    "encoded-words": "From: =?iso-8859-1?Q?Hej_d=E5?= <hej@example.org>\r\n"
                     "Subject: =?iso-8859-1?Q?R=E4kning?=\r\nDate: Tue, 8 Dec 2026 10:00 +0100\r\n"
                     "\r\n.\r\n",
    "first-key-anywhere": "Resent-From: first@x\r\nFROM: second@x\r\nSubject:  Hej  \r\n"
                          "Date: Tue, 8 Dec 2026\r\n\r\n.\r\n",
    "no-blank-after-colon": "From:anna@x\r\nSubject: L\xe5ng\r\n rad\r\n\r\n.\r\n",
    "two-encoded-words": "Subject: =?iso-8859-1?Q?=C5r?= =?iso-8859-1?Q?=F6l?=\r\n.\r\n",
    "text-before-prefix": "Subject: Re: =E4 =?iso-8859-1?Q?R=E4kning?=\r\nFrom: =?iso-8859-1?Q?"
                          "a=3DE4?=\r\n.\r\n",
    "upper-case-prefix": "Subject: =?ISO-8859-1?Q?R=E4kning?=\r\nFrom: x=00=4\r\n.\r\n",
    "key-at-end": "x date:",
    "utf8-words-folded": "From: =?UTF-8?B?w4VzYSBMaW5k?= <asa@example.se>\r\nSubject: =?utf-8?q?M="
                         "C3=B6te_i?=\r\n =?Utf-8?Q?_morgon?= =?windows-1252?Q?=93x=94?=\r\n\r\n",
    "raw-8-bit": "From: \xc5sa <a@x>\r\nSubject: R\xc3\xa4kning\r\n\tmer\r\n\r\n",
}
for name, text in HEADERS.items():
    write("fuzz_header_summary", name, text)

PREVIEWS = {
    "quoted-printable": "Content-Transfer-Encoding: quoted-printable\r\n\r\nK=e4ra v=C4n=\r\n"
                        "noll=00 och =ZZ\r\n.\r\nefter",
    "plain": "Subject: x\r\n\r\nK=E4ra\r\n.\r\n",
    "marker-after-code": "=41 quoted-printable",
    "coded-terminator": "quoted-printable\r\n\r\nrad=0D=0A.=0D=0Aefter\r\n.\r\n",
    "cut-short": "avbruten utan slut",
    "multipart": "Content-Type: multipart/alternative; boundary=b\r\n\r\n--b\r\nContent-Type: "
                 "text/plain; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n\r\nw6Vh\r\n"
                 "--b\r\nContent-Type: text/html\r\n\r\n<p>a&amp;b</p>\r\n--b--\r\n.\r\n",
    "html-only": "Content-Type: text/html; charset=iso-8859-1\r\n\r\n<title>t</title><p>R"
                 "\xe4kning<br>&aring;</p>\r\n.\r\n",
}
for name, text in PREVIEWS.items():
    write("fuzz_preview", name, text)

REPLIES = {
    "stat": "+OK 12 1300000\r\n",
    "stat-tabs": "+OK\t3\t40 extra\r\n",
    "stat-no-blank": "+OK\r\n",
    "stat-huge": "+OK 99999999999 -9223372036854775809\r\n",
    "err-mixed-case": "-ErR mixed\r\n",
    "list": "1 120\r\n2 3000\r\n.\r\n",
    "list-odd-lines": "1  120 x\r\n2\t7 \r\n3 5000000000\r\nnonsense\r\n4 9\r\n.\r\n",
    "list-empty": ".\r\n",
    "atoi": " \t +42abc",
}
for name, text in REPLIES.items():
    write("fuzz_reply_parser", name, text)

BLOCK = "Subject: a\r\n..dot\r\n\r\nbody\r\n.\r\n"
write("fuzz_end_of_data", "whole", cuts(BLOCK, []))
write("fuzz_end_of_data", "split-before-dot", cuts(BLOCK, [len(BLOCK) - 3]))
write("fuzz_end_of_data", "split-in-terminator", cuts(BLOCK, [len(BLOCK) - 4, 1, 1, 1]))
write("fuzz_end_of_data", "one-byte-receives", cuts(BLOCK, [1] * 24))
write("fuzz_end_of_data", "empty-block", cuts(".\r\n", [1]))
write("fuzz_end_of_data", "lookalikes", cuts("a\r\n..\r\na.\r\nx\n.\n", [3, 5]))
write("fuzz_end_of_data", "trailing-bytes", cuts("a\r\n.\r\nTRAILING", [2]))

HEADER = b"\x00\x01\x81\x80\x00\x01\x00\x01\x00\x00\x00\x00"
QUESTION = dns_name("example.org") + b"\x00\x0f\x00\x01"


def mx_record(owner, exchange, preference=10):
    data = bytes([0, preference]) + exchange
    return owner + b"\x00\x0f\x00\x01\x00\x00\x0e\x10" + bytes([0, len(data)]) + data


write("fuzz_dns_answer", "compressed",
      HEADER + QUESTION + mx_record(b"\xc0\x0c", b"\x02mx\xc0\x0c"))
write("fuzz_dns_answer", "owner-spelled-out",
      HEADER + QUESTION + mx_record(dns_name("example.org"), dns_name("mail.example.org")))
write("fuzz_dns_answer", "pointer-loop",
      HEADER + QUESTION + mx_record(b"\xc0\x0c", b"\x04loop\xc0\x2b"))
write("fuzz_dns_answer", "cname-first",
      HEADER + QUESTION + b"\xc0\x0c\x00\x05\x00\x01\x00\x00\x0e\x10\x00\x13"
      + dns_name("alias.example.net"))
padded = HEADER + QUESTION + mx_record(b"\xc0\x0c", b"\x02mx\xc0\xfa")
write("fuzz_dns_answer", "pointer-to-last-offset",
      padded + b"\x00" * (250 - len(padded)) + b"\x04host\x00")
write("fuzz_dns_answer", "label-193",
      HEADER + QUESTION + mx_record(b"\xc0\x0c", b"\xc1" + b"a" * 193 + b"\x00"))
write("fuzz_dns_answer", "domain", b"example.org")

# fuzz_smtp_reply: the server's chunks, then (from the end) refuse-connect and address-test bytes.
SEND, TEST = b"\x01\x00", b"\x01\x01"
GOOD = ["220 ready\r\n", "250 mail.example\r\n", "250 OK\r\n", "250 OK\r\n", "354 go ahead\r\n",
        "250 queued\r\n", "221 bye\r\n"]
write("fuzz_smtp_reply", "sent", strings(*GOOD) + SEND)
write("fuzz_smtp_reply", "multi-line-greeting",
      strings("220-first\r\n", "220 second\r\n", *GOOD[1:]) + SEND)
write("fuzz_smtp_reply", "quoted-sender",
      strings(GOOD[0], GOOD[1], "501 bad syntax\r\n", *GOOD[2:]) + SEND)
write("fuzz_smtp_reply", "split-code", strings(GOOD[0], "2", "50 mail.example\r\n") + SEND)
write("fuzz_smtp_reply", "rcpt-refused",
      strings(GOOD[0], GOOD[1], GOOD[2], "550 5.1.1 no such user\r\n") + TEST)
write("fuzz_smtp_reply", "address-valid", strings(*GOOD[:4], "221 bye\r\n") + TEST)
write("fuzz_smtp_reply", "stall-at-data", strings(*GOOD[:4], "", "") + SEND)
write("fuzz_smtp_reply", "refused-after-data",
      strings(*GOOD[:5], "554 5.7.1 rejected\r\n", "221 bye\r\n") + SEND)

# fuzz_smtp_fields: from, to, helo, subject, tested address, then the body; from the end the
# address-test and quoted-printable bytes.
PLAIN, QP, TESTING = b"\x00\x00", b"\x01\x00", b"\x00\x01"
write("fuzz_smtp_fields", "display-names",
      strings("Anna A <anna@example.org>", "Bo B <bo@example.org>", "nada", "Hej",
              "bo@example.org", "Hej!\r\n.\r\n..tv\xe5\r\n") + PLAIN)
write("fuzz_smtp_fields", "bare-addresses",
      strings("anna@example.org", "bo@example.org", "nada", "", "bo@example.org",
              ".\nensam punkt\r.\r\n") + PLAIN)
write("fuzz_smtp_fields", "quoted-printable",
      strings("anna@example.org", "Bo <bo@example.org>", "nada", "\xc5r", "x",
              "\xe5a\xf6 = kvar\r\n") + QP)
write("fuzz_smtp_fields", "injected-rcpt",
      strings("anna@example.org>\r\nRCPT TO:<victim@example.org", "bo@example.org", "nada", "s",
              "bo@example.org", "Hej!") + PLAIN)
write("fuzz_smtp_fields", "injected-helo",
      strings("anna@example.org", "bo@example.org", "nada\rRSET", "", "bo@example.org\r\nX",
              "") + TESTING)
write("fuzz_smtp_fields", "typed-filfil",
      strings("anna@example.org", "bo@example.org", "nada", "", "", "filfil") + PLAIN)

QUOTES = {
    "lines": "Hej Anna!\r\n\r\n> tidigare\r\nVh Bo\r\n",
    "bare-line-feeds": "a\nb\n\nc",
    "no-line-end": "en rad",
}
for name, text in QUOTES.items():
    write("fuzz_quoting", name, text)

# fuzz_reply_body: a retrieved message, then (from the end) the header length and line counts.
write("fuzz_reply_body", "quoted-printable",
      "Content-Transfer-Encoding: quoted-printable\r\n\r\n=C5sa=\r\n=2E\r\nslut =00 =e5\r\n"
      ".\r\n" + "\x00\x33")
write("fuzz_reply_body", "stuffed", "Subject: x\r\n\r\na=E5\r\n..punkt\r\n.\r\n\x00\x0f")
write("fuzz_reply_body", "no-body", "Subject: x\r\n\r\n.\r\n\x00\x0f")

# fuzz_uidl: first (from the end) whether the count is small, the count, whether the listing is
# given as it stands; as it stands the listing is the text before those bytes.
def uidl(listing, count):
    return listing.encode("latin-1") + b"\x01" + count.to_bytes(4, "little") + b"\x01"


write("fuzz_uidl", "keyed", uidl("2 QhdPYR:00WBw1Ph7x7\r\n1 whqtswO00WBw418f9t5JxYwZ\r\n.\r\n", 2))
write("fuzz_uidl", "id-repeated", uidl("1 a\r\n2 a\r\n.\r\n", 2))
write("fuzz_uidl", "claimed-count", uidl("1 a\r\n.\r\n", 0x7FFFFFFF))
write("fuzz_uidl", "zero-padded", uidl("0001 a\r\n2 b\r\n.\r\n", 2))

# fuzz_capa: the answer; from the end the number of pieces and their lengths.
write("fuzz_capa", "dovecot",
      "CAPA\r\nTOP\r\nUIDL\r\nRESP-CODES\r\nPIPELINING\r\nAUTH-RESP-CODE\r\nSTLS\r\nUSER\r\n.\r\n"
      + "\x00")
write("fuzz_capa", "stls-after-long-line", "X" * 2000 + " y\r\nstls\r\npipelining x\r\n.\r\n"
      + "\x07\xd0\x03\x02")
write("fuzz_capa", "look-alikes", "STLSX\r\n STLS\r\nPIPELINING\tyes\rSTLS\r\n.\r\n\x00")

# fuzz_pop3_load: the server's chunks; from the end whether STLS was offered before and whether
# pipelining is allowed.
LOGIN = ["+OK ready\r\n", "-ERR\r\n", "+OK\r\n", "+OK\r\n"]
FRESH, REMEMBERED, PIPELINED = b"\x00\x00", b"\x00\x01", b"\x01\x00"
write("fuzz_pop3_load", "listed",
      strings(*LOGIN, "+OK 2 200\r\n", "+OK\r\n1 100\r\n2 100\r\n.\r\n") + FRESH)
write("fuzz_pop3_load", "pipelined",
      strings("+OK ready\r\n", "+OK\r\nPIPELINING\r\n.\r\n", "+OK\r\n+OK\r\n",
              "+OK 1 10\r\n", "+OK\r\n1 10\r\n.\r\n") + PIPELINED)
write("fuzz_pop3_load", "claimed-count", strings(*LOGIN, "+OK 2000000000 0\r\n") + FRESH)
write("fuzz_pop3_load", "unlisted-count",
      strings(*LOGIN, "+OK 5 500\r\n", "+OK\r\n1 100\r\n.\r\n") + FRESH)
write("fuzz_pop3_load", "stls-after-long-line",
      strings("+OK ready\r\n", "+OK\r\nX-" + "x" * 70000 + "\r\nSTLS\r\n.\r\n", "+OK\r\n")
      + FRESH)
write("fuzz_pop3_load", "stls-stripped",
      strings("+OK ready\r\n", "+OK\r\nUSER\r\n.\r\n", "+OK\r\n", "+OK\r\n") + REMEMBERED)

# fuzz_smtp_multiline: the keyword, then the stream; from the end the pieces.
write("fuzz_smtp_multiline", "ehlo",
      strings("PLAIN", "250-mail.example\r\n250-STARTTLS\r\n250-AUTH=LOGIN\r\n250-AUTH PLAIN "
              "LOGIN\r\n250 8BITMIME\r\n") + b"\x00")
write("fuzz_smtp_multiline", "trailing",
      strings("STARTTLS", "220-a\r\n220 b\r\n250 early\r\n") + b"\x05\x01")
write("fuzz_smtp_multiline", "short-lines", strings("X", "25\n250\r\n") + b"\x00")
write("fuzz_smtp_multiline", "starttls-after-long-line",
      strings("AUTH", "250-mail.example\r\n250-X" + "x" * 70000 + "\r\n250-STARTTLS\r\n250 AUTH "
              "PLAIN\r\n") + b"\x00")

HTML = {
    "paragraphs": "<html><head><title>t</title><style>p{}</style></head><body><p>R\xc3\xa4kning"
                  "&nbsp;&amp;&#229;&#xE5;</p><ul><li>ett<li>tv\xc3\xa5</ul><pre>  a\r\n b</pre>"
                  "<table><tr><td>1<td>2</table><!-- x --><br>slut",
    "broken": "<a href='x>y'>l\xc3\xa4nk</a> & &amp &#; &#xZZ; <script>x</scrip",
    "no-markup": "R\xc3\xa4ksm\xc3\xb6rg\xc3\xa5s",
}
for name, text in HTML.items():
    write("fuzz_html_text", name, text)

# fuzz_encoded_words: the plain texts before and after, the bytes, then the text decoded on its
# own; from the end the charset, the encoding, the padding and the split.
write("fuzz_encoded_words", "latin1-q",
      strings("Re:", "<a@b>", "R\xe4kning", "=?iso-8859-1?Q?R=E4kning?= =?utf-8?B?w4VzYQ==?=")
      + b"\x03\x00\x00\x01")
write("fuzz_encoded_words", "utf8-b-split",
      strings("", "", "\xc3\xa5\xc3\xa4", "=?a?B?x=?a?B?x?= =?utf-8?q?=C3?= =?utf-8?q?=A5?=")
      + b"\x01\x01\x01\x00")

# fuzz_pipelined_replies: the stream, then (from the end) the answers' kinds and the receives.
write("fuzz_pipelined_replies", "top-run",
      "+OK\r\nSubject: a\r\n\r\n.\r\n+OK\r\n..x\r\n.\r\n-ERR nej\r\n+OK 1 2\r\n+OK\r\n.\r\n"
      + "\x01\x01\x01\x00\x01\x04")
write("fuzz_pipelined_replies", "one-byte-receives",
      "+OK\r\na\r\n.\r\n+OK\r\n.\r\n" + "\x01" * 40 + "\x01\x01\x01")
