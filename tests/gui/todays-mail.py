#!/usr/bin/python3
"""Writes 200 messages of today's mail and what a reader must show of each.

Usage: todays-mail.py FOLDER

FOLDER/NNN.eml is message NNN (LF line ends); FOLDER/NNN.txt its sender, subject and preview
(header block, empty line, text; CR LF) in UTF-8, separated by NUL bytes. Every expected text is
first checked against CPython's own reading of the message.
"""

import base64
import email
import email.charset as cs
import html
import os
import sys
from email import policy
from email.mime.application import MIMEApplication
from email.mime.multipart import MIMEMultipart
from email.mime.text import MIMEText

NAMES = ["Åsa Lind", "Björn Ek", "Märta Öberg", "Göran Sjöström", "Łucja Żak", "Zoë Brontë",
         "Jürgen Müller", "Σοφία Παππά", "Ørjan Håland", "José Núñez", "Иван Петров",
         "山田 太郎", "François Lefèvre", "Šárka Nováková", "Siobhán Ó Súilleabháin"]
SUBJECTS = ["Räkning för december", "Möte i morgon kl. 10", "Pris: 5 € per styck",
            "“Citat” – med tankstreck", "Grüße aus München", "Zażółć gęślą jaźń",
            "Ελληνικά γράμματα", "Привет из Москвы", "日本語の件名です", "Smörgåsbord 😀 och glass",
            "Återbetalning av beloppet inom fem bankdagar, se bifogat kvitto och villkor",
            "Protokoll från styrelsemötet den 3 december med bilagor och beslut om budgeten",
            "Œuvres complètes: Š, š, Ž, ž och Ÿ"]
BODIES = [["Hej Anna!", "Här kommer bilderna från resan. Den stora är tagen från toppen.",
           "Vänliga hälsningar, Åsa"],
          ["Hi Anna,", "Are you free for lunch on Friday? The café by the station opens.", "Per"],
          ["Priset är 5 € – “inklusive” moms & frakt <i dag>.", "Mvh Kundtjänst"],
          ["Zażółć gęślą jaźń.", "Ελληνικά και русский текст.", "😀 日本語"]]
# The charset a text must fit, then its name in the words, the encoding, the white space between
# words and the characters a word holds; without a name the header bytes are raw. A sender is
# one word: CPython keeps the blanks between the words of a display name.
FORMS = [("utf-8", "UTF-8", "B", " ", 18), ("utf-8", "utf-8", "q", " ", 18),
         ("utf-8", "Utf-8", "Q", "\n ", 12), ("iso-8859-15", "ISO-8859-15", "Q", " ", 18),
         ("windows-1252", "windows-1252", "b", " ", 18), ("iso-8859-1", "iso-8859-1", "Q", "\n\t", 10),
         ("utf-8", "UTF-8", "Q", " ", 18),  # after "Re: "
         ("utf-8", None), ("latin-1", None)]


def words(text, charset, tag, width):
    out = []
    for i in range(0, len(text), width):
        raw = text[i:i + width].encode(charset)
        payload = base64.b64encode(raw).decode() if tag in "bB" else "".join(
            chr(b) if chr(b).isalnum() and b < 128 else "_" if b == 32 else "=%02X" % b
            for b in raw)
        out.append("=?%s?%s?%s?=" % (charset, tag, payload))
    return out


def fits(text, charset):
    try:
        return text.encode(charset) is not None
    except UnicodeEncodeError:
        return False


def fitting(texts, charset, start):
    return next(t for k in range(len(texts)) for t in [texts[(start + k) % len(texts)]]
                if fits(t, charset))


def part(text, subtype, charset, encoding):
    charset_ = cs.Charset(charset)
    charset_.body_encoding = encoding
    return MIMEText(text, subtype, charset_)


def body_of(n, paragraphs):
    """The body in one of seven structures, the text a reader shows and its subtype."""
    text, shown_html = "\n\n".join(paragraphs) + "\n", "\n\n".join(paragraphs)
    markup = "<html><head><style>p {margin: 0}</style></head><body>\n%s</body></html>\n" % (
        "".join("<p>%s</p>\n" % html.escape(p) for p in paragraphs))
    kind = n % 7
    if kind in (0, 5):
        alternative = MIMEMultipart("alternative")
        encoding = cs.BASE64 if kind == 0 else cs.QP
        alternative.attach(part(text, "plain", "utf-8", encoding))
        alternative.attach(part(markup, "html", "utf-8", encoding))
        if kind == 0:
            return alternative, text, "plain"
        mixed = MIMEMultipart("mixed")
        mixed.attach(alternative)
        attachment = MIMEApplication(bytes(range(256)), "pdf")
        attachment.add_header("Content-Disposition", "attachment", filename="kvitto.pdf")
        mixed.attach(attachment)
        return mixed, text, "plain"
    if kind in (1, 6):
        charset = "windows-1252" if kind == 6 and fits(markup, "windows-1252") else "utf-8"
        return part(markup, "html", charset, cs.QP if kind == 1 else cs.BASE64), shown_html, "html"
    encoding = {2: cs.QP, 3: None, 4: cs.BASE64}[kind]
    charset = "iso-8859-1" if kind == 2 and fits(text, "iso-8859-1") else "utf-8"
    return part(text, "plain", charset, encoding), text, "plain"


def crlf(text):
    return text.replace("\r\n", "\n").rstrip("\n").replace("\n", "\r\n")


def message(n):
    charset, label, tag, blank, width = (FORMS[n % len(FORMS)] + (None,) * 3)[:5]
    name, subject = fitting(NAMES, charset, n), fitting(SUBJECTS, charset, n * 7)
    sender = "%s <avs%d@example.org>" % (name, n)
    if label is None:
        head = ("From: %s\nSubject: %s\n" % (sender, subject)).encode(charset)
    else:
        reply = "Re: " if n % len(FORMS) == 6 else ""  # text and words: the blank stays
        head = ("From: %s <avs%d@example.org>\nSubject: %s%s\n" % (
            words(name, label, tag, 100)[0], n, reply,
            blank.join(words(subject, label, tag, width)))).encode()
        subject = reply + subject
    head += ("To: Anna Svensson <anna@example.org>\nDate: Tue, 8 Dec 2026 10:%02d:00 +0100\n"
             "Message-ID: <m%d@example.org>\n" % (n % 60, n)).encode()
    body, shown, subtype = body_of(n, BODIES[n % len(BODIES)])
    for k, container in enumerate(p for p in body.walk() if p.is_multipart()):
        container.set_boundary("=_b%d_%d" % (n, k))
    data = head + body.as_bytes(policy=policy.compat32.clone(linesep="\n", max_line_length=None))

    # CPython's reading: the words decoded, raw header bytes in their charset, the body part a
    # reader picks.
    read = email.message_from_bytes(data, policy=policy.default)
    if label is not None:
        assert (str(read["from"]), str(read["subject"])) == (sender, subject), n
    else:
        assert head.decode(charset).startswith("From: %s\nSubject: %s\n" % (sender, subject)), n
    chosen = read.get_body(preferencelist=("plain", "html"))
    assert chosen.get_content_subtype() == subtype, n
    assert subtype == "html" or crlf(chosen.get_content()) == crlf(shown), n

    # The preview's header block: fields with words or 8-bit bytes decoded, the others as sent.
    fields = []
    for line in data.split(b"\n\n", 1)[0].split(b"\n"):
        if line[:1] in (b" ", b"\t"):
            fields[-1] += b"\n" + line
        else:
            fields.append(line)
    known, header = {b"From": sender, b"Subject": subject}, ""
    for field in fields:
        name = field.split(b":")[0]
        if b"=?" in field or max(field) >= 0x80:
            header += "%s: %s\r\n" % (name.decode(), known[name])
        else:
            header += field.decode().replace("\n", "\r\n") + "\r\n"
    return data, "\0".join([sender, subject, header + "\r\n" + crlf(shown)]).encode()


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    os.makedirs(sys.argv[1], exist_ok=True)
    for n in range(1, 201):
        for suffix, content in zip((".eml", ".txt"), message(n)):
            with open(os.path.join(sys.argv[1], "%03d%s" % (n, suffix)), "wb") as out:
                out.write(content)
    return 0


if __name__ == "__main__":
    sys.exit(main())
