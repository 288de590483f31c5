#!/usr/bin/python3
"""A small OAuth 2.0 identity provider on 127.0.0.1 for the tests.

Usage: oauth_provider.py PORT CLIENT_ID [CLIENT_SECRET]

It signs in whoever the authorization request names in login_hint (else "tester") at once, as a
browser with a signed-in user would, and keeps everything in memory:

  GET  /authorize    the authorization-code request of a native program: response_type=code,
                     client_id, a redirect_uri on http://127.0.0.1 or localhost, scope, state,
                     code_challenge with code_challenge_method=S256 (PKCE). Answers 302 to
                     redirect_uri with code and state, or with error=... when the request is wrong.
  POST /token        grant_type=authorization_code (code, redirect_uri, client_id, code_verifier,
                     client_secret when one is set) or grant_type=refresh_token. Each refresh gives
                     a new refresh token and retires the old one, as Microsoft's does. Refusals are
                     400 {"error": "invalid_grant"} and the like, as RFC 6749 has them.
  POST /introspect   RFC 7662: token=... answers {"active": true, "username": ..., "scope": ...,
                     "exp": ...} for a current access token, {"active": false} otherwise. Dovecot's
                     oauth2 passdb and the SMTP sink ask here.
  POST /admin/expires-in   seconds=N: the lifetime of the access tokens issued from now on.
  POST /admin/revoke       kind=access or kind=refresh: every token of that kind stops working.
  GET  /admin/stats        {"authorize": n, "token": n, "refresh": n, "introspect": n, "refused": n}

Prints "ready PORT" when it listens. Ends on SIGTERM.
"""

import base64
import hashlib
import http.server
import json
import secrets
import signal
import sys
import threading
import time
import urllib.parse


class Provider:
    def __init__(self, client_id, client_secret):
        self.client_id = client_id
        self.client_secret = client_secret
        self.expires_in = 3600
        self.codes = {}    # code -> (user, scope, redirect_uri, challenge)
        self.access = {}   # token -> (user, scope, expires at)
        self.refresh = {}  # token -> (user, scope)
        self.stats = {"authorize": 0, "token": 0, "refresh": 0, "introspect": 0, "refused": 0}
        self.lock = threading.Lock()

    def issue(self, user, scope):
        access = secrets.token_urlsafe(24)
        refresh = secrets.token_urlsafe(24)
        self.access[access] = (user, scope, time.time() + self.expires_in)
        self.refresh[refresh] = (user, scope)
        return {"access_token": access, "token_type": "Bearer", "expires_in": self.expires_in,
                "refresh_token": refresh, "scope": scope}


def loopback_redirect(uri):
    parts = urllib.parse.urlsplit(uri)
    return parts.scheme == "http" and parts.hostname in ("127.0.0.1", "localhost", "::1")


def s256(verifier):
    digest = hashlib.sha256(verifier.encode("ascii")).digest()
    return base64.urlsafe_b64encode(digest).rstrip(b"=").decode("ascii")


class Handler(http.server.BaseHTTPRequestHandler):
    provider = None

    def log_message(self, format, *args):
        # Only the path: a query or a body may hold a code or a token.
        print("%s %s" % (self.command, self.path.split("?")[0]), flush=True)

    def answer(self, status, body=None, headers=()):
        data = json.dumps(body).encode() if body is not None else b""
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        if body is not None:
            self.send_header("Content-Type", "application/json")
            self.send_header("Cache-Control", "no-store")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def form(self):
        length = int(self.headers.get("Content-Length") or 0)
        text = self.rfile.read(length).decode("utf-8", errors="replace")
        return {k: v[-1] for k, v in urllib.parse.parse_qs(text, keep_blank_values=True).items()}

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = {k: v[-1] for k, v in urllib.parse.parse_qs(url.query).items()}
        p = self.provider
        with p.lock:
            if url.path == "/authorize":
                p.stats["authorize"] += 1
                self.authorize(p, query)
            elif url.path == "/admin/stats":
                self.answer(200, p.stats)
            else:
                self.answer(404, {"error": "not_found"})

    def authorize(self, p, query):
        redirect = query.get("redirect_uri", "")
        if not loopback_redirect(redirect):
            self.answer(400, {"error": "invalid_request", "error_description": "redirect_uri"})
            return
        error = None
        if query.get("response_type") != "code":
            error = "unsupported_response_type"
        elif query.get("client_id") != p.client_id:
            error = "unauthorized_client"
        elif query.get("code_challenge_method") != "S256" or not query.get("code_challenge"):
            error = "invalid_request"
        answer = {"state": query["state"]} if "state" in query else {}
        if error:
            answer["error"] = error
        else:
            code = secrets.token_urlsafe(16)
            p.codes[code] = (query.get("login_hint") or "tester", query.get("scope", ""), redirect,
                             query["code_challenge"])
            answer["code"] = code
        separator = "&" if "?" in redirect else "?"
        self.answer(302, None, [("Location", redirect + separator + urllib.parse.urlencode(answer))])

    def do_POST(self):
        form = self.form()
        p = self.provider
        with p.lock:
            if self.path == "/token":
                self.token(p, form)
            elif self.path == "/introspect":
                p.stats["introspect"] += 1
                entry = p.access.get(form.get("token", ""))
                if entry and entry[2] > time.time():
                    self.answer(200, {"active": True, "username": entry[0], "scope": entry[1],
                                      "exp": int(entry[2])})
                else:
                    self.answer(200, {"active": False})
            elif self.path == "/admin/expires-in":
                p.expires_in = int(form.get("seconds", "3600"))
                self.answer(200, {})
            elif self.path == "/admin/revoke":
                (p.access if form.get("kind") == "access" else p.refresh).clear()
                self.answer(200, {})
            else:
                self.answer(404, {"error": "not_found"})

    def refuse(self, p, error, status=400):
        p.stats["refused"] += 1
        self.answer(status, {"error": error})

    def token(self, p, form):
        if form.get("client_id") != p.client_id or (
                p.client_secret and form.get("client_secret") != p.client_secret):
            self.refuse(p, "invalid_client", 401)
            return
        grant = form.get("grant_type")
        if grant == "authorization_code":
            p.stats["token"] += 1
            entry = p.codes.pop(form.get("code", ""), None)  # a code is good for one try
            if (not entry or form.get("redirect_uri") != entry[2]
                    or s256(form.get("code_verifier", "")) != entry[3]):
                self.refuse(p, "invalid_grant")
                return
            self.answer(200, p.issue(entry[0], entry[1]))
        elif grant == "refresh_token":
            p.stats["refresh"] += 1
            entry = p.refresh.pop(form.get("refresh_token", ""), None)
            if not entry:
                self.refuse(p, "invalid_grant")
                return
            self.answer(200, p.issue(*entry))
        else:
            self.refuse(p, "unsupported_grant_type")


def main():
    args = sys.argv[1:]
    if len(args) not in (2, 3):
        print(__doc__, file=sys.stderr)
        return 2
    Handler.provider = Provider(args[1], args[2] if len(args) == 3 else "")
    server = http.server.ThreadingHTTPServer(("127.0.0.1", int(args[0])), Handler)
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown).start())
    print("ready", args[0], flush=True)
    server.serve_forever()
    return 0


if __name__ == "__main__":
    sys.exit(main())
