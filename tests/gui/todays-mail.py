#!/usr/bin/python3
"""Writes 200 messages of today's mail and what a reader must show of each.

Usage: todays-mail.py FOLDER

FOLDER/NNN.eml is message NNN with LF line ends; FOLDER/NNN.txt holds its sender, its subject
and its preview (header block, empty line, text; CR LF line ends), separated by NUL bytes, all
UTF-8. Senders and subjects come in every form mail carries them, bodies in every structure.
Every expected text is checked against CPython's own reading of the message before it is
written, so the file says what CPython reads.
"""

import base64
import email
import email.charset
import html
import os
import sys
from email import policy
from email.mime.application import MIMEApplication
from email.mime.multipart import MIMEMultipart
from email.mime.text import MIMEText

WRITE = policy.compat32.clone(linesep="\n", max_line_length=None)

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
          ["Hi Anna,", "Are you free for lunch on Friday? The café by the station opens.",
           "Per"],
          ["Priset är 5 € – “inklusive” moms & frakt <i dag>.", "Mvh Kundtjänst"],
          ["Zażółć gęślą jaźń.", "Ελληνικά και русский текст.", "😀 日本語"]]


def encoded(text, charset, tag, width=18):
    """Encoded words of at most width characters each, in the form and case given."""
    words = []
    for i in range(0, len(text), width):
        raw = text[i:i + width].encode(charset)
        if tag in "bB":
            payload = base64.b64encode(raw).decode("ascii")
        else:
            payload = "".join(chr(b) if chr(b).isalnum() and b < 128 else "_" if b == 32
                              else "=%02X" % b for b in raw)
        words.append("=?%s?%s?%s?=" % (charset, tag, payload))
    return words


# How a text goes into a header: the charset it must fit, and the charset name, encoding, the
# white space between words and the characters a word holds; no name: raw 8-bit bytes. A name
# is always one word (CPython keeps the blanks between the words of a display name).
FORMS = [
    ("utf-8", "UTF-8", "B", " ", 18),
    ("utf-8", "utf-8", "q", " ", 18),
    ("utf-8", "Utf-8", "Q", "\n ", 12),  # a subject folded over several lines
    ("iso-8859-15", "ISO-8859-15", "Q", " ", 18),
    ("windows-1252", "windows-1252", "b", " ", 18),
    ("iso-8859-1", "iso-8859-1", "Q", "\n\t", 10),
    ("utf-8", "UTF-8", "Q", " ", 18),  # after "Re: " in the subject
    ("utf-8", None),
    ("latin-1", None),
]


def fitting(texts, charset, start):
    for k in range(len(texts)):
        text = texts[(start + k) % len(texts)]
        try:
            text.encode(charset)
            return text
        except UnicodeEncodeError:
            pass
    raise SystemExit("no text fits " + charset)


def part(text, subtype, charset, encoding):
    cs = email.charset.Charset(charset)
    cs.body_encoding = encoding
    return MIMEText(text, subtype, cs)


def body_of(n, paragraphs):
    """The message body in one of the structures, the text a reader shows and its MIME type."""
    text = "\n\n".join(paragraphs) + "\n"
    markup = "<html><head><style>p {margin: 0}</style></head><body>\n%s</body></html>\n" % (
        "".join("<p>%s</p>\n" % html.escape(p) for p in paragraphs))
    shown_html = "\n\n".join(paragraphs)
    kind = n % 7
    if kind == 0:
        outer = MIMEMultipart("alternative")
        outer.attach(part(text, "plain", "utf-8", email.charset.BASE64))
        outer.attach(part(markup, "html", "utf-8", email.charset.BASE64))
        return outer, text, "plain"
    if kind == 1:
        return part(markup, "html", "utf-8", email.charset.QP), shown_html, "html"
    if kind == 2:
        charset = "iso-8859-1" if fits(text, "iso-8859-1") else "utf-8"
        return part(text, "plain", charset, email.charset.QP), text, "plain"
    if kind == 3:
        return part(text, "plain", "utf-8", None), text, "plain"
    if kind == 4:
        return part(text, "plain", "utf-8", email.charset.BASE64), text, "plain"
    if kind == 5:
        outer = MIMEMultipart("mixed")
        inner = MIMEMultipart("alternative")
        inner.attach(part(text, "plain", "utf-8", email.charset.QP))
        inner.attach(part(markup, "html", "utf-8", email.charset.QP))
        outer.attach(inner)
        attachment = MIMEApplication(bytes(range(256)), "pdf")
        attachment.add_header("Content-Disposition", "attachment", filename="kvitto.pdf")
        outer.attach(attachment)
        return outer, text, "plain"
    if fits(markup, "windows-1252"):
        return part(markup, "html", "windows-1252", email.charset.BASE64), shown_html, "html"
    return part(markup, "html", "utf-8", email.charset.BASE64), shown_html, "html"


def fits(text, charset):
    try:
        text.encode(charset)
        return True
    except UnicodeEncodeError:
        return False


def crlf(text):
    return text.replace("\r\n", "\n").rstrip("\n").replace("\n", "\r\n")


def message(n):
    charset, label, tag, blank, width = (FORMS[n % len(FORMS)] + (None,) * 3)[:5]
    name = fitting(NAMES, charset, n)
    subject = fitting(SUBJECTS, charset, n * 7)
    address = "avs%d@example.org" % n
    sender = "%s <%s>" % (name, address)
    if label is None:
        head = ("From: %s\nSubject: %s\n" % (sender, subject)).encode(charset)
    else:
        # Text and words side by side: the blank between them stays.
        reply = "Re: " if n % len(FORMS) == 6 else ""
        head = ("From: %s <%s>\nSubject: %s%s\n" % (
            encoded(name, label, tag, 100)[0], address, reply,
            blank.join(encoded(subject, label, tag, width)))).encode()
        subject = reply + subject
    head += ("To: Anna Svensson <anna@example.org>\nDate: Tue, 8 Dec 2026 10:%02d:00 +0100\n"
             "Message-ID: <m%d@example.org>\n" % (n % 60, n)).encode()
    body, shown, subtype = body_of(n, BODIES[n % len(BODIES)])
    for k, container in enumerate(p for p in body.walk() if p.is_multipart()):
        container.set_boundary("=_b%d_%d" % (n, k))
    data = head + body.as_bytes(policy=WRITE)

    # CPython's reading must be the known text: the header words decoded, the raw header bytes
    # in the charset they were written in, the body part a reader picks.
    read = email.message_from_bytes(data, policy=policy.default)
    if label is not None:
        assert str(read["from"]) == sender and str(read["subject"]) == subject, n
    else:
        assert head.decode(charset).startswith("From: %s\nSubject: %s\n" % (sender, subject)), n
    chosen = read.get_body(preferencelist=("plain", "html"))
    assert chosen.get_content_subtype() == subtype, n
    if subtype == "plain":
        assert crlf(chosen.get_content()) == crlf(shown), n

    # The header block as the preview shows it: fields with words or 8-bit bytes decoded.
    header, _ = data.split(b"\n\n", 1)
    fields, shown_header = [], ""
    for line in header.split(b"\n"):
        if line[:1] in (b" ", b"\t"):
            fields[-1] += b"\n" + line
        else:
            fields.append(line)
    for field in fields:
        name = field.split(b":", 1)[0].decode("ascii")
        if b"=?" in field or max(field) >= 0x80:
            shown_header += "%s: %s\r\n" % (name, {"From": sender, "Subject": subject}[name])
        else:
            shown_header += field.decode("ascii").replace("\n", "\r\n") + "\r\n"
    preview = shown_header + "\r\n" + crlf(shown)
    return data, "\0".join([sender, subject, preview]).encode()


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    os.makedirs(sys.argv[1], exist_ok=True)
    for n in range(1, 201):
        data, expected = message(n)
        for suffix, content in ((".eml", data), (".txt", expected)):
            with open(os.path.join(sys.argv[1], "%03d%s" % (n, suffix)), "wb") as out:
                out.write(content)
    return 0


if __name__ == "__main__":
    sys.exit(main())
