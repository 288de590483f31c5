#!/usr/bin/python3
"""An SMTP server on 127.0.0.1 for the tests that keeps every message it receives.

Usage: smtp_sink.py [--print-headers] [--login ACCOUNT PASSWORD] [--oauth INTROSPECTION_URL]
                    PORT FOLDER [TLS_ADDRESS CERTIFICATE KEY]

Message n is stored as FOLDER/n.helo, n.from, n.rcpt (one recipient a line), n.login (the
mechanism and account of the session's login, empty without one) and n.data (the data exactly
as received, byte-stuffing undone, as raw bytes); FOLDER/n.done appears last, once the rest is
complete. With TLS_ADDRESS it also takes SMTP over TLS from the first byte on TLS_ADDRESS port
465, with the certificate and key given; the plain port stays. With --login as well, port 465
takes mail only after a login (AUTH PLAIN or LOGIN) with that account and password, and
TLS_ADDRESS port 587 is a submission port that takes it only after STARTTLS and that login.
With --oauth (alone or with --login) the login may also be AUTH XOAUTH2 with an access token that
the identity provider at INTROSPECTION_URL calls current for the account named with it (RFC 7662);
a refused token gets the error challenge large providers send, then 535 after the client's empty
answer.
After a login it takes mail only from the account's own addresses (ACCOUNT@ any domain), and it
refuses a wrong password in two lines, as large providers do. A message with the header line
"X-Sink-Refuse: yes" is refused at the end of its data and not stored, and so is one that a
strict RFC 5322 reading refuses (it wants exactly one From, Date and Message-ID, each valid, as
providers do). Prints
"ready PORT" when it listens, and with --print-headers the envelope and header lines of each
message it stores, for someone watching. Ends on SIGTERM.
"""

import asyncio
import email
import email.policy
import os
import json
import signal
import ssl
import sys
import urllib.parse
import urllib.request

from base64 import b64decode

from aiosmtpd.smtp import MISSING, SMTP, AuthResult


REFUSAL = "554 5.6.0 Refused by the sink"
BAD_LOGIN = ("535-5.7.8 Username and Password not accepted.\r\n"
             "535 5.7.8 Learn more at https://sink.test/help")
NOT_OWNED = "553 5.7.1 Sender address not owned by the login"
BAD_TOKEN = "535 5.7.8 Token not accepted"


def as_bytes(text):
    # Command arguments are decoded with surrogateescape; this gives back the bytes on the wire.
    return text.encode("utf-8", errors="surrogateescape")


def write(path, data):
    with open(path, "wb") as out:
        out.write(data)


def shown(data):
    # Printable whatever the client sent: bytes that are not UTF-8 are marked, not fatal.
    return data.decode("utf-8", errors="replace")


def header_block(content):
    """The header lines of a message: up to the first empty line, LF line ends."""
    return shown(content.replace(b"\r\n", b"\n").split(b"\n\n", 1)[0])


def rfc5322_fault(content):
    """Why a provider would refuse the message as malformed, or None."""
    try:
        message = email.message_from_bytes(content, policy=email.policy.strict)
        for name in ("From", "Date", "Message-ID"):
            fields = message.get_all(name) or []
            if len(fields) != 1:
                return "%d %s fields" % (len(fields), name)
            if fields[0].defects:
                return "invalid " + name
        for name in ("To", "Subject"):
            fields = message.get_all(name) or []
            if len(fields) > 1 or any(field.defects for field in fields):
                return "invalid " + name
        if not any(address.domain for address in message["From"].addresses):
            return "no From address"
        if message["Date"].datetime is None:
            return "invalid Date"
    except Exception:  # the strict policy raises on any defect of the message's structure
        return "malformed message"
    return None


class Keeper:
    def __init__(self, folder, print_headers, introspection=None):
        self.folder = folder
        self.print_headers = print_headers
        self.introspection = introspection
        self.count = 0

    def token_owner(self, token):
        """The account the identity provider gives a current token to, or None."""
        data = urllib.parse.urlencode({"token": token}).encode()
        try:
            with urllib.request.urlopen(self.introspection, data, timeout=5) as reply:
                answer = json.load(reply)
        except (OSError, ValueError):
            return None
        return answer.get("username", "").encode() if answer.get("active") is True else None

    async def auth_XOAUTH2(self, server, args):
        if len(args) == 1:
            blob = await server.challenge_auth("", encode_to_b64=False)
            if blob is MISSING:
                return AuthResult(success=False)
        else:
            try:
                blob = b64decode(args[1].encode(), validate=True)
            except ValueError:
                await server.push("501 5.5.2 Can't decode base64")
                return AuthResult(success=False, handled=True)
        fields = dict(f.split(b"=", 1) for f in blob.split(b"\x01") if b"=" in f)
        user, auth = fields.get(b"user", b""), fields.get(b"auth", b"")
        owner = None
        if auth.startswith(b"Bearer "):
            owner = await asyncio.get_running_loop().run_in_executor(
                None, self.token_owner, auth[7:].decode("ascii", errors="replace"))
        if owner is None or owner != user:
            await server.challenge_auth(
                json.dumps({"status": "401", "schemes": "bearer", "scope": "mail"}))
            return AuthResult(success=False, handled=False, message=BAD_TOKEN)
        server.session.sink_login = b"XOAUTH2 " + user
        server.session.sink_account = user
        return AuthResult(success=True)

    async def handle_DATA(self, server, session, envelope):
        if b"\nX-Sink-Refuse: yes\r\n" in b"\n" + envelope.content:
            return REFUSAL
        fault = rfc5322_fault(envelope.content)
        if fault:
            return "550 5.7.1 Not RFC 5322: " + fault
        self.count += 1
        base = os.path.join(self.folder, str(self.count))
        write(base + ".helo", as_bytes(session.host_name or ""))
        write(base + ".from", as_bytes(envelope.mail_from or ""))
        write(base + ".rcpt", b"".join(as_bytes(r) + b"\n" for r in envelope.rcpt_tos))
        write(base + ".login", getattr(session, "sink_login", b""))
        write(base + ".data", envelope.content)
        write(base + ".done", b"")
        if self.print_headers:
            print("--- message %d from <%s> to %s, %d bytes ---" % (
                self.count, shown(as_bytes(envelope.mail_from or "")),
                ", ".join("<%s>" % shown(as_bytes(r)) for r in envelope.rcpt_tos),
                len(envelope.content)))
            print(header_block(envelope.content) + "\n", flush=True)
        return "250 OK stored as %d" % self.count

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        account = getattr(session, "sink_account", None)
        if account is not None and as_bytes(address).split(b"@")[0] != account:
            return NOT_OWNED
        envelope.mail_from = address
        envelope.mail_options.extend(mail_options)
        return "250 OK"


def checker(account, password):
    """An authenticator that takes only the one account, and notes the login in the session."""
    def check(server, session, envelope, mechanism, auth_data):
        if auth_data.login != account or auth_data.password != password:
            return AuthResult(success=False, handled=False, message=BAD_LOGIN)
        session.sink_login = mechanism.encode() + b" " + auth_data.login
        session.sink_account = auth_data.login
        return AuthResult(success=True)
    return check


def refuse_passwords(server, session, envelope, mechanism, auth_data):
    return AuthResult(success=False, handled=False, message=BAD_LOGIN)


async def serve(port, folder, tls, login, oauth, print_headers):
    loop = asyncio.get_running_loop()
    keeper = Keeper(folder, print_headers, oauth)
    excluded = ([] if oauth else ["XOAUTH2"]) + ([] if login or not oauth else ["PLAIN", "LOGIN"])

    def factory(**options):
        # A fixed host name: the default asks the resolver for this machine's name.
        return lambda: SMTP(keeper, decode_data=False, hostname="sink.test",
                            auth_exclude_mechanism=excluded, **options)

    servers = []
    if tls:
        address, certificate, key = tls
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(certificate, key)
        implicit = {}
        if login or oauth:
            auth = {"auth_required": True,
                    "authenticator": checker(*login) if login else refuse_passwords}
            # TLS from the first byte is TLS enough for AUTH.
            implicit = dict(auth, auth_require_tls=False)
            submission = dict(auth, tls_context=context, require_starttls=True)
            servers.append(await loop.create_server(factory(**submission), address, 587))
        servers.append(await loop.create_server(factory(**implicit), address, 465, ssl=context))
    servers.append(await loop.create_server(factory(), "127.0.0.1", port))
    stop = loop.create_future()
    loop.add_signal_handler(signal.SIGTERM, stop.set_result, None)
    print("ready", port, flush=True)
    await stop
    for server in servers:
        server.close()
        await server.wait_closed()


def main():
    args = sys.argv[1:]
    print_headers = args[:1] == ["--print-headers"]
    if print_headers:
        args = args[1:]
    login = None
    if args[:1] == ["--login"] and len(args) >= 3:
        login = (as_bytes(args[1]), as_bytes(args[2]))
        args = args[3:]
    oauth = None
    if args[:1] == ["--oauth"] and len(args) >= 2:
        oauth = args[1]
        args = args[2:]
    if len(args) not in (2, 5):
        print(__doc__, file=sys.stderr)
        return 2
    asyncio.run(serve(int(args[0]), args[1], args[2:], login, oauth, print_headers))
    return 0


if __name__ == "__main__":
    sys.exit(main())
