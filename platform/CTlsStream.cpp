#include "platform/CTlsStream.h"

#include "platform/CWaitHook.h"

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

namespace {

// Room for one whole record with its header, so a fill rarely leaves a record half read.
constexpr std::size_t kFillChunk = 16 * 1024 + 512;

bool isAddressLiteral(const std::string& host) {
    in6_addr any{};
    return ::inet_pton(AF_INET, host.c_str(), &any) == 1 ||
           ::inet_pton(AF_INET6, host.c_str(), &any) == 1;
}

// OpenSSL's own words for the latest error, or the fallback when it recorded none.
std::string engineError(const char* fallback) {
    const unsigned long code = ERR_peek_last_error();
    ERR_clear_error();
    if (code == 0)
        return fallback;
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}

} // namespace

CTlsStream::~CTlsStream() {
    close();
}

void CTlsStream::close() {
    if (ssl_) {
        // A courtesy to the server: close_notify when the session is sound, and only if the
        // socket takes it at once; a close never waits.
        if (!broken_ && SSL_is_init_finished(ssl_) && tcp_.isOpen()) {
            const std::string kept = lastError_;
            ERR_clear_error();
            if (SSL_shutdown(ssl_) >= 0)
                flush(CClock::now());
            ERR_clear_error();
            lastError_ = kept;
        }
        SSL_free(ssl_);
    }
    ssl_ = nullptr;
    in_ = out_ = nullptr;
    ahead_.clear();
    broken_ = false;
    tcp_.close();
}

bool CTlsStream::connect(const std::string& host, int port) {
    close();
    connectFailure_ = ConnectFailure::Unspecified;
    lastError_.clear();
    const auto deadline = CClock::after(tcp_.timeouts().connectMs);
    if (!tcp_.connectUntil(host, port, deadline)) {
        lastError_ = tcp_.lastError();
        connectFailure_ = tcp_.connectFailure();
        return false;
    }
    return secure(host, deadline);
}

bool CTlsStream::startOn(CTcpStream& plain, const std::string& host) {
    close();
    connectFailure_ = ConnectFailure::Unspecified;
    lastError_.clear();
    if (plain.hasReadAhead()) {
        plain.close();
        refuse(ConnectFailure::HandshakeFailed, "data arrived ahead of the TLS handshake");
        return false;
    }
    tcp_.adopt(plain);
    return secure(host, CClock::after(tcp_.timeouts().connectMs));
}

bool CTlsStream::secure(const std::string& host, CClock::TimePoint deadline) {
    if (!startEngine(host) || !handshake(deadline)) {
        close();
        return false;
    }
    return true;
}

bool CTlsStream::startEngine(const std::string& host) {
    ERR_clear_error();
    // A context per connection: the trust store is read now, so a changed SSL_CERT_FILE or an
    // updated system store counts from the next connect on.
    SSL_CTX* context = SSL_CTX_new(TLS_client_method());
    bool ok = context != nullptr && SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION) == 1 &&
              SSL_CTX_set_default_verify_paths(context) == 1;
    if (ok) {
        SSL_CTX_set_options(context, SSL_OP_NO_COMPRESSION | SSL_OP_NO_RENEGOTIATION);
        SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
        ssl_ = SSL_new(context);
    }
    SSL_CTX_free(context); // the session holds its own reference
    in_ = BIO_new(BIO_s_mem());
    out_ = BIO_new(BIO_s_mem());
    if (!ssl_ || !in_ || !out_) {
        BIO_free(in_);
        BIO_free(out_);
        in_ = out_ = nullptr;
        refuse(ConnectFailure::HandshakeFailed, engineError("cannot set up TLS"));
        return false;
    }
    SSL_set_bio(ssl_, in_, out_);
    SSL_set_connect_state(ssl_);

    // The certificate must name what the user typed: an address literal by address (and no
    // server name indication, which takes names only), anything else by host name.
    if (isAddressLiteral(host)) {
        ok = X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_), host.c_str()) == 1;
    } else {
        SSL_set_hostflags(ssl_, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
        ok = SSL_set_tlsext_host_name(ssl_, host.c_str()) == 1 &&
             SSL_set1_host(ssl_, host.c_str()) == 1;
    }
    if (!ok) {
        refuse(ConnectFailure::HandshakeFailed, engineError("host name not usable for TLS"));
        return false;
    }
    return true;
}

bool CTlsStream::handshake(CClock::TimePoint deadline) {
    for (;;) {
        ERR_clear_error();
        const int rc = SSL_do_handshake(ssl_);
        const int error = rc == 1 ? SSL_ERROR_NONE : SSL_get_error(ssl_, rc);
        // Whatever the engine wrote goes out first: the next flight, or the alert that says why
        // we hang up.
        const bool flushed = flush(deadline);
        if (error == SSL_ERROR_NONE || error == SSL_ERROR_WANT_READ) {
            if (!flushed) {
                refuse(ConnectFailure::HandshakeFailed, lastError_);
                return false;
            }
            if (error == SSL_ERROR_NONE)
                return true;
            const IoStatus s = fill(deadline);
            if (s == IoStatus::Ok)
                continue;
            if (s == IoStatus::Cancelled) {
                refuse(ConnectFailure::Cancelled, "cancelled");
                return false;
            }
            refuse(ConnectFailure::HandshakeFailed,
                   s == IoStatus::TimedOut ? "TLS handshake timed out"
                   : s == IoStatus::Closed ? "connection closed during the TLS handshake"
                                           : lastError_);
            return false;
        }
        broken_ = true;
        const long verdict = SSL_get_verify_result(ssl_);
        if (verdict == X509_V_ERR_HOSTNAME_MISMATCH || verdict == X509_V_ERR_IP_ADDRESS_MISMATCH)
            refuse(ConnectFailure::NameMismatch, X509_verify_cert_error_string(verdict));
        else if (verdict != X509_V_OK)
            refuse(ConnectFailure::UntrustedCertificate, X509_verify_cert_error_string(verdict));
        else
            refuse(ConnectFailure::HandshakeFailed, engineError("TLS handshake failed"));
        return false;
    }
}

void CTlsStream::refuse(ConnectFailure why, const std::string& reason) {
    connectFailure_ = why;
    lastError_ = reason;
    ERR_clear_error();
}

bool CTlsStream::send(std::string_view bytes) {
    sendStatus_ = IoStatus::Failed;
    if (!isOpen()) {
        lastError_ = "not connected";
        return false;
    }
    // A fast transfer never waits in poll(); the window must still paint and take its Avbryt.
    CWaitHook::runIfDue();
    const auto deadline = CClock::after(tcp_.timeouts().receiveMs);
    while (!bytes.empty()) {
        ERR_clear_error();
        std::size_t written = 0;
        const int rc = SSL_write_ex(ssl_, bytes.data(), bytes.size(), &written);
        const int error = rc == 1 ? SSL_ERROR_NONE : SSL_get_error(ssl_, rc);
        if (!flush(deadline)) {
            sendStatus_ = tcp_.sendStatus();
            return false;
        }
        if (error == SSL_ERROR_NONE) {
            bytes.remove_prefix(written);
        } else if (error == SSL_ERROR_WANT_READ) {
            const IoStatus s = fill(deadline);
            if (s != IoStatus::Ok) {
                sendStatus_ = s;
                return false;
            }
        } else {
            broken_ = true;
            lastError_ = engineError("TLS write failed");
            return false;
        }
    }
    sendStatus_ = IoStatus::Ok;
    return true;
}

IoResult CTlsStream::receive(char* into, std::size_t max) {
    if (!isOpen()) {
        lastError_ = "not connected";
        return {0, IoStatus::Failed};
    }
    if (max == 0)
        return {0, IoStatus::Ok};
    CWaitHook::runIfDue();
    if (!ahead_.empty())
        return {ahead_.take(into, max), IoStatus::Ok};
    // One limit for the whole call, however many pieces a record arrives in.
    const auto deadline = CClock::after(tcp_.timeouts().receiveMs);
    for (;;) {
        ERR_clear_error();
        std::size_t got = 0;
        const int rc = SSL_read_ex(ssl_, into, max, &got);
        const int error = rc == 1 ? SSL_ERROR_NONE : SSL_get_error(ssl_, rc);
        // Reading can make the engine answer (a key update); that goes out now. Should it fail,
        // the next call reports it.
        const bool flushed = flush(deadline);
        if (error == SSL_ERROR_NONE)
            return {got, IoStatus::Ok};
        if (!flushed)
            return {0, tcp_.sendStatus() == IoStatus::Cancelled ? IoStatus::Cancelled
                                                                : IoStatus::Failed};
        if (error == SSL_ERROR_WANT_READ) {
            const IoStatus s = fill(deadline);
            if (s == IoStatus::Ok)
                continue;
            if (s == IoStatus::Closed)
                broken_ = true; // cut off without close_notify: nothing more to say
            return {0, s};
        }
        if (error == SSL_ERROR_ZERO_RETURN) {
            lastError_ = "connection closed by the server";
            return {0, IoStatus::Closed};
        }
        broken_ = true;
        lastError_ = engineError("TLS read failed");
        return {0, IoStatus::Failed};
    }
}

bool CTlsStream::flush(CClock::TimePoint deadline) {
    char* data = nullptr;
    const long pending = BIO_get_mem_data(out_, &data);
    if (pending <= 0)
        return true;
    const bool sent =
        tcp_.sendUntil(std::string_view(data, static_cast<std::size_t>(pending)), deadline);
    (void)BIO_reset(out_);
    if (!sent)
        lastError_ = tcp_.lastError();
    return sent;
}

IoStatus CTlsStream::fill(CClock::TimePoint deadline) {
    char chunk[kFillChunk];
    const IoResult r = tcp_.receiveUntil(chunk, sizeof chunk, deadline);
    if (r.status != IoStatus::Ok) {
        lastError_ = tcp_.lastError();
        return r.status;
    }
    // A memory buffer takes everything it is given.
    BIO_write(in_, chunk, static_cast<int>(r.count));
    return IoStatus::Ok;
}

void CTlsStream::awaitData(std::size_t want, const std::function<bool(std::string_view)>& holdsEnd,
                           int maxMs) {
    if (!isOpen() || broken_)
        return;
    ahead_.gather(tcp_.descriptor(), want, holdsEnd, maxMs,
                  [this, want](CReadAhead&) { return pullAhead(want); });
}

bool CTlsStream::hasArrived() {
    if (ahead_.empty() && isOpen() && !broken_)
        pullAhead(1);
    return !ahead_.empty();
}

bool CTlsStream::pullAhead(std::size_t want) {
    char chunk[kFillChunk];
    for (;;) {
        const IoResult raw = tcp_.receiveAvailable(chunk, sizeof chunk);
        if (raw.status != IoStatus::Ok)
            return false;
        if (raw.count == 0)
            break;
        BIO_write(in_, chunk, static_cast<int>(raw.count));
    }
    while (ahead_.size() < want) {
        ERR_clear_error();
        std::size_t got = 0;
        const std::size_t room = want - ahead_.size();
        const int rc = SSL_read_ex(ssl_, ahead_.room(room), room, &got);
        if (rc != 1) {
            // Wanting more is the normal end here; anything else the next receive reports.
            const bool wantsMore = SSL_get_error(ssl_, rc) == SSL_ERROR_WANT_READ;
            ERR_clear_error();
            return wantsMore;
        }
        ahead_.commit(got);
    }
    return true;
}
