#!/usr/bin/python3
"""Writes the demo mailbox: 40 Swedish and English messages, one file each.

Usage: demo-mailbox.py FOLDER

FOLDER/01.eml to FOLDER/40.eml, in the order the server is to number them, with LF line ends.
The same messages every time, so that a picture drawn from them stays the same. Senders and
subjects use the encoded forms mail carries today: UTF-8 base 64 and quoted-printable words in
either case, ISO-8859-1 words, several words in a row and subjects folded over two lines. A few
messages are large (megabytes of attachment), a few come from the same sender, one has no
subject, and the bodies are plain text, quoted-printable, HTML alternatives and attachments.
"""

import base64
import datetime
import email.charset
import os
import random
import sys
from email import policy
from email.mime.application import MIMEApplication
from email.mime.image import MIMEImage
from email.mime.multipart import MIMEMultipart
from email.mime.text import MIMEText
from email.utils import format_datetime

OWNER = "Anna Svensson <anna@example.org>"

# Headers are written exactly as given (folds included); only the body is left to the package.
WRITE = policy.compat32.clone(linesep="\n", max_line_length=None)


def b_word(text, charset="UTF-8"):
    return "=?%s?B?%s?=" % (charset, base64.b64encode(text.encode(charset)).decode("ascii"))


def q_word(text, charset="utf-8", tag="q"):
    out = []
    for byte in text.encode(charset):
        ch = chr(byte)
        if ch == " ":
            out.append("_")
        elif ch.isalnum() and byte < 128:
            out.append(ch)
        else:
            out.append("=%02X" % byte)
    return "=?%s?%s?%s?=" % (charset, tag, "".join(out))


def iso_word(text):
    return q_word(text, "iso-8859-1", "Q")


def fold(*words):
    """Encoded words on lines of their own, as a long subject arrives."""
    return "\n ".join(words)


def text_part(text, charset, encoding, subtype="plain"):
    cs = email.charset.Charset(charset)
    cs.body_encoding = encoding
    return MIMEText(text, subtype, cs)


def qp_text(text, charset="utf-8", subtype="plain"):
    return text_part(text, charset, email.charset.QP, subtype)


def plain_text(text):
    """ASCII text, sent as it is."""
    return text_part(text, "us-ascii", None)


def eight_bit(text):
    return text_part(text, "utf-8", None)


def alternative(text, html):
    outer = MIMEMultipart("alternative")
    outer.attach(qp_text(text))
    outer.attach(qp_text(html, subtype="html"))
    return outer


def with_attachment(text, name, data, kind):
    outer = MIMEMultipart("mixed")
    outer.attach(qp_text(text))
    if kind == "jpeg":
        part = MIMEImage(data, "jpeg")
    else:
        part = MIMEApplication(data, kind)
    part.add_header("Content-Disposition", "attachment", filename=name)
    outer.attach(part)
    return outer


def messages():
    rng = random.Random(20261208)
    asa = b_word("Åsa Lind") + " <asa.lind@example.se>"
    bjorn = q_word("Björn Ek") + " <bjorn.ek@example.se>"
    goran = iso_word("Göran Sjöström") + " <goran@foreningen.example>"
    kund = iso_word("Kundtjänst") + " <kundtjanst@butik.example>"
    marta = q_word("Märta", "UTF-8", "Q") + " " + q_word(" Öberg", "UTF-8", "Q") + \
        " <marta.oberg@example.se>"
    per = "Per Holm <per.holm@example.org>"
    emma = "Emma Carter <emma.carter@example.co.uk>"
    news = "Weekly Digest <digest@news.example.com>"
    it = "IT-support <it-support@foretaget.example>"
    bank = "noreply@bank.example"

    hej = "Hej Anna!\n\n"
    vh = "\n\nVänliga hälsningar\n"
    return [
        (per, "Lunch on Friday?", plain_text(
            "Hi Anna,\n\nAre you free for lunch on Friday? The new place by the station\n"
            "opens this week.\n\nPer\n")),
        (asa, b_word("Bilder från resan"), with_attachment(
            hej + "Här kommer bilderna från Lofoten. Den stora är tagen från toppen." + vh + "Åsa",
            "lofoten.jpg", rng.randbytes(3_200_000), "jpeg")),
        (kund, iso_word("Din order 4711 är skickad"), qp_text(
            hej + "Din order 4711 lämnade vårt lager i dag och kommer inom två dagar.\n"
            "Spårningsnummer: SE 1234 5678 9." + vh + "Kundtjänst\n", "iso-8859-1")),
        (news, "Ten things to try this winter", alternative(
            "This week: ten things to try this winter, from ice skating to soup.\n",
            "<html><body><h1>Ten things to try this winter</h1>"
            "<p>From ice skating to soup.</p></body></html>\n")),
        (goran, fold(q_word("Protokoll från styrelsemötet den 3 december ", "UTF-8", "Q"),
                     q_word("med bilagor och beslut om budgeten", "UTF-8", "Q")),
         with_attachment(
             hej + "Bifogat finns protokollet från styrelsemötet." + vh + "Göran",
             "protokoll.pdf", rng.randbytes(180_000), "pdf")),
        (bjorn, "Re: " + q_word("Räkningar") + " for December", eight_bit(
            "Hej!\n\nJag har betalat elräkningen, du tar väl hyran?\n\nBjörn\n")),
        (emma, "Conference slides", with_attachment(
            "Hi Anna,\n\nHere are the slides from the conference, as promised.\n\nBest,\nEmma\n",
            "slides.pdf", rng.randbytes(2_400_000), "pdf")),
        (it, iso_word("Planerat avbrott på lördag"), qp_text(
            "Hej alla!\n\nPå lördag mellan 08.00 och 12.00 uppgraderar vi e-postservern.\n"
            "Under tiden går det inte att skicka eller ta emot e-post." + vh + "IT-support\n")),
        (bank, "Your monthly statement is ready", plain_text(
            "Your statement for November is ready in the internet bank.\n")),
        (asa, b_word("Middag") + " " + b_word(" på söndag?"), eight_bit(
            hej + "Vill ni komma på middag på söndag? Vi lagar älggryta." + vh + "Åsa\n")),
        (marta, q_word("Välkommen till föreningen!"), alternative(
            hej + "Välkommen som medlem! Första träffen är på tisdag.\n",
            "<html><body><p>Välkommen som medlem! Första träffen är på "
            "<b>tisdag</b>.</p></body></html>\n")),
        (per, "Re: Lunch on Friday?", plain_text(
            "Great, see you at twelve.\n\n> Are you free for lunch on Friday?\n")),
        (news, "Weekly Digest: the best recipes of the week", alternative(
            "Soups, stews and a very good bread.\n",
            "<html><body><p>Soups, stews and a very good bread.</p></body></html>\n")),
        (kund, iso_word("Kvitto på ditt köp"), qp_text(
            "Tack för ditt köp!\n\nSumma: 1 249,00 kr\nBetalt med kort." + vh + "Kundtjänst\n",
            "iso-8859-1")),
        (emma, None, plain_text(
            "Anna - the form you asked about is on the shared drive.\n\nEmma\n")),
        (bjorn, fold(b_word("Sommarstugan: vem tar vilken vecka i juli och "),
                     b_word("vem ansvarar för båten och bryggan?")), eight_bit(
            "Hej!\n\nDags att dela upp veckorna i stugan. Jag föreslår att vi tar\n"
            "första veckan och ni de två sista.\n\nBjörn\n")),
        (goran, iso_word("Kallelse till årsmöte"), qp_text(
            "Hej!\n\nÅrsmötet hålls torsdagen den 17 december kl. 18.00 i stora salen.\n"
            "Anmälan senast måndag." + vh + "Göran Sjöström, ordförande\n", "iso-8859-1")),
        (it, "Password expires in 7 days", plain_text(
            "Your password expires in 7 days. Change it from the staff portal.\n")),
        (asa, b_word("Re: Bilder från resan"), eight_bit(
            "Här är resten! Det blev många.\n\nÅsa\n")),
        (per, fold("Reminder: the annual members' meeting takes place on Thursday at 18:00",
                   "in the large hall, please register before Monday"), plain_text(
            "Please register by replying to this message.\n")),
        (news, "Weekly Digest: winter tyres, explained", alternative(
            "Everything you wanted to know about winter tyres.\n",
            "<html><body><p>Everything you wanted to know about winter tyres.</p>"
            "</body></html>\n")),
        (kund, iso_word("Din order 4802 är skickad"), qp_text(
            hej + "Din order 4802 lämnade vårt lager i dag." + vh + "Kundtjänst\n",
            "iso-8859-1")),
        (bjorn, "Photos from the boat", with_attachment(
            "Hej!\n\nNågra bilder från båten i somras.\n\nBjörn\n",
            "batbilder.jpg", rng.randbytes(1_600_000), "jpeg")),
        (marta, q_word("Städdag i trädgården"), eight_bit(
            hej + "Städdagen är på lördag kl. 10. Ta med handskar och kratta!" + vh + "Märta\n")),
        (emma, "Re: Conference slides", plain_text(
            "One more thing: the recording will be online next week.\n")),
        (it, iso_word("Ny skrivare på plan 3"), qp_text(
            "Hej!\n\nDen nya skrivaren på plan 3 heter PLAN3-FÄRG." + vh + "IT-support\n")),
        (bank, b_word("Ny inloggning från en ny enhet"), eight_bit(
            "Vi såg en inloggning från en ny enhet i Göteborg. Var det du?\n")),
        (goran, iso_word("Budget 2027") + " - " + iso_word("förslag"), with_attachment(
            "Hej!\n\nHär är förslaget till budget för 2027.\n\nGöran\n",
            "budget-2027.xlsx", rng.randbytes(45_000), "vnd.ms-excel")),
        (per, "Weekly report, week 49", plain_text(
            "All green this week. Two tickets closed, one opened.\n\nPer\n")),
        (asa, b_word("Grattis på födelsedagen!"), alternative(
            "Grattis, Anna! Hoppas du får en fin dag.\n",
            "<html><body><p>Grattis, <b>Anna</b>! Hoppas du får en fin dag.</p>"
            "</body></html>\n")),
        (news, "Weekly Digest: a quieter inbox", alternative(
            "Five habits for a quieter inbox.\n",
            "<html><body><p>Five habits for a quieter inbox.</p></body></html>\n")),
        (bjorn, q_word("Lånade stegen"), eight_bit("Stegen står i förrådet igen. Tack!\n")),
        (emma, "Dinner in Stockholm", plain_text(
            "I'm in Stockholm on the 15th - dinner?\n\nEmma\n")),
        (kund, fold(iso_word("Vi har fått din retur och betalar tillbaka "),
                    iso_word("beloppet inom fem bankdagar")), qp_text(
            "Hej!\n\nVi har tagit emot din retur." + vh + "Kundtjänst\n", "iso-8859-1")),
        (marta, q_word("Protokoll från träffen"), with_attachment(
            hej + "Här är anteckningarna från tisdagens träff." + vh + "Märta\n",
            "anteckningar.pdf", rng.randbytes(60_000), "pdf")),
        (it, "Scheduled maintenance: completed", plain_text(
            "The maintenance of the mail server is complete.\n")),
        (per, q_word("Re: Årsmötet"), eight_bit(
            "Jag kommer, och tar med kakor.\n\nPer\n")),
        (goran, iso_word("Tack för i år!"), qp_text(
            "Tack alla för ett fint år i föreningen!\n\nGöran\n", "iso-8859-1")),
        (asa, b_word("Jul hos oss?"), eight_bit(
            hej + "Vill ni fira jul hos oss i år? Säg till senast fredag." + vh + "Åsa\n")),
        (emma, "Happy holidays!", alternative(
            "Happy holidays, Anna, and see you in January!\n",
            "<html><body><p>Happy holidays, Anna, and see you in January!</p>"
            "</body></html>\n")),
    ]


def render(number, sender, subject, body):
    # Five a day from Monday 30 November on, between eight in the morning and eight at night.
    start = datetime.datetime(2026, 11, 30, 8, 0, 0,
                              tzinfo=datetime.timezone(datetime.timedelta(hours=1)))
    day, slot = divmod(number - 1, 5)
    when = start + datetime.timedelta(days=day, minutes=150 * slot + 7 * number % 60,
                                      seconds=13 * number % 60)
    headers = [
        ("Return-Path", "<bounce-%d@mail.example>" % number),
        ("From", sender),
        ("To", OWNER),
    ]
    if subject is not None:
        headers.append(("Subject", subject))
    headers += [
        ("Date", format_datetime(when)),
        ("Message-ID", "<demo-%02d.%d@mail.example>" % (number, when.year)),
    ]
    head = "".join("%s: %s\n" % pair for pair in headers)
    # Fixed boundaries: the package would draw random ones.
    for n, part in enumerate(part for part in body.walk() if part.is_multipart()):
        part.set_boundary("=_demo_%02d_%d" % (number, n))
    return head.encode("ascii") + body.as_bytes(policy=WRITE)


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for number, (sender, subject, body) in enumerate(messages(), 1):
        with open(os.path.join(folder, "%02d.eml" % number), "wb") as out:
            out.write(render(number, sender, subject, body))
    return 0


if __name__ == "__main__":
    sys.exit(main())
