// The native build's TLS client, for tests and tools only: OpenSSL over
// memory BIOs, so every byte still goes through TcpSocket and its waits.
#include "platform/tls.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <vector>

namespace kivo::platform {
namespace {

struct CtxFree {
    void operator()(SSL_CTX* c) const { SSL_CTX_free(c); }
};
struct SslFree {
    void operator()(SSL* s) const { SSL_free(s); }
};
struct X509Free {
    void operator()(X509* x) const { X509_free(x); }
};

// What the chain check met; OpenSSL reports one error per certificate and
// carries on since the verdict is ours to make.
struct ChainFindings {
    bool expired = false;
    bool untrusted = false;
    std::string detail;
};

// Made once, before any account thread can ask for it twice.
int findings_index()
{
    static const int index = SSL_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
    return index;
}

int note_chain_error(int preverified, X509_STORE_CTX* store)
{
    if (preverified)
        return 1;
    SSL* ssl = static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
    auto* findings = static_cast<ChainFindings*>(SSL_get_ex_data(ssl, findings_index()));
    int code = X509_STORE_CTX_get_error(store);
    if (findings) {
        if (code == X509_V_ERR_CERT_HAS_EXPIRED || code == X509_V_ERR_CERT_NOT_YET_VALID)
            findings->expired = true;
        else
            findings->untrusted = true;
        if (findings->detail.empty())
            findings->detail = X509_verify_cert_error_string(code);
    }
    return 1;
}

std::string hex_of(const unsigned char* bytes, unsigned size)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned i = 0; i < size; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

std::string openssl_errors()
{
    std::string text;
    while (unsigned long e = ERR_get_error()) {
        char line[256];
        ERR_error_string_n(e, line, sizeof line);
        if (!text.empty())
            text += "; ";
        text += line;
    }
    return text;
}

}  // namespace

struct TlsStream::Impl {
    std::unique_ptr<SSL_CTX, CtxFree> ctx;
    std::unique_ptr<SSL, SslFree> ssl;
    BIO* in = nullptr;   // owned by ssl
    BIO* out = nullptr;  // owned by ssl
    TcpSocket* socket = nullptr;
    bool active = false;
    TlsVerdict verdict = TlsVerdict::handshake_failed;
    TlsPeer peer;
    ChainFindings findings;

    // Sends what OpenSSL wrote into the outgoing BIO.
    NetStatus flush(Event& socket_event, Event& stop, int& error)
    {
        char chunk[16384];
        for (;;) {
            int n = BIO_read(out, chunk, sizeof chunk);
            if (n <= 0)
                return NetStatus::ok;
            NetStatus sent = socket->send(chunk, static_cast<std::size_t>(n), socket_event, stop, error);
            if (sent != NetStatus::ok)
                return sent;
        }
    }

    NetStatus pull(Event& socket_event, Event& stop, int& error)
    {
        char chunk[16384];
        std::size_t got = 0;
        NetStatus status = socket->receive(chunk, sizeof chunk, got, socket_event, stop, error);
        if (status == NetStatus::ok)
            BIO_write(in, chunk, static_cast<int>(got));
        return status;
    }

    TlsVerdict judge(const std::string& host, const std::string& trusted)
    {
        std::unique_ptr<X509, X509Free> cert(SSL_get1_peer_certificate(ssl.get()));
        if (!cert) {
            peer.detail = "no certificate";
            return TlsVerdict::untrusted;
        }
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned size = 0;
        if (X509_digest(cert.get(), EVP_sha256(), digest, &size) == 1)
            peer.fingerprint = hex_of(digest, size);
        char subject[512] = {};
        X509_NAME_oneline(X509_get_subject_name(cert.get()), subject, sizeof subject);
        peer.subject = subject;
        if (!trusted.empty() && trusted == peer.fingerprint)
            return TlsVerdict::ok;

        if (findings.untrusted) {
            peer.detail = findings.detail;
            return TlsVerdict::untrusted;
        }
        in_addr dotted{};
        bool host_ok = ::inet_pton(AF_INET, host.c_str(), &dotted) == 1
                           ? X509_check_ip_asc(cert.get(), host.c_str(), 0) == 1
                           : X509_check_host(cert.get(), host.data(), host.size(), 0, nullptr) == 1;
        if (!host_ok) {
            peer.detail = "certificate subject " + peer.subject;
            return TlsVerdict::wrong_host;
        }
        if (findings.expired) {
            peer.detail = findings.detail;
            return TlsVerdict::expired;
        }
        return TlsVerdict::ok;
    }
};

TlsStream::TlsStream() : impl_(std::make_unique<Impl>()) {}
TlsStream::~TlsStream() = default;

bool TlsStream::active() const { return impl_->active; }
TlsVerdict TlsStream::verdict() const { return impl_->verdict; }
const TlsPeer& TlsStream::peer() const { return impl_->peer; }

void TlsStream::reset()
{
    impl_ = std::make_unique<Impl>();
}

NetStatus TlsStream::handshake(TcpSocket& socket, const std::string& host, const std::string& trusted_fingerprint,
                               Event& socket_event, Event& stop, const std::function<void()>& progress, int& error)
{
    reset();
    Impl& s = *impl_;
    error = 0;
    s.socket = &socket;
    s.ctx.reset(SSL_CTX_new(TLS_client_method()));
    if (!s.ctx) {
        s.peer.detail = openssl_errors();
        return NetStatus::failed;
    }
    SSL_CTX_set_min_proto_version(s.ctx.get(), TLS1_2_VERSION);
    SSL_CTX_set_default_verify_paths(s.ctx.get());
    SSL_CTX_set_verify(s.ctx.get(), SSL_VERIFY_PEER, note_chain_error);
    s.ssl.reset(SSL_new(s.ctx.get()));
    s.in = BIO_new(BIO_s_mem());
    s.out = BIO_new(BIO_s_mem());
    SSL_set_bio(s.ssl.get(), s.in, s.out);
    SSL_set_ex_data(s.ssl.get(), findings_index(), &s.findings);
    SSL_set_connect_state(s.ssl.get());
    in_addr dotted{};
    if (::inet_pton(AF_INET, host.c_str(), &dotted) != 1)
        SSL_set_tlsext_host_name(s.ssl.get(), host.c_str());

    for (;;) {
        int rc = SSL_do_handshake(s.ssl.get());
        if (NetStatus sent = s.flush(socket_event, stop, error); sent != NetStatus::ok) {
            s.verdict = sent == NetStatus::closed ? TlsVerdict::handshake_closed : TlsVerdict::handshake_failed;
            return sent;
        }
        if (rc == 1)
            break;
        if (SSL_get_error(s.ssl.get(), rc) != SSL_ERROR_WANT_READ) {
            s.peer.detail = openssl_errors();
            s.verdict = TlsVerdict::handshake_failed;
            return NetStatus::failed;
        }
        NetStatus got = s.pull(socket_event, stop, error);
        if (got != NetStatus::ok) {
            s.verdict = got == NetStatus::closed ? TlsVerdict::handshake_closed : TlsVerdict::handshake_failed;
            return got;
        }
        if (progress)
            progress();
    }
    s.peer.protocol = SSL_get_version(s.ssl.get());
    if (s.peer.protocol.rfind("TLSv", 0) == 0)
        s.peer.protocol = "TLS " + s.peer.protocol.substr(4);
    s.peer.cipher = SSL_get_cipher_name(s.ssl.get());
    s.verdict = s.judge(host, normalise_fingerprint(trusted_fingerprint));
    if (s.verdict != TlsVerdict::ok)
        return NetStatus::failed;
    s.active = true;
    return NetStatus::ok;
}

NetStatus TlsStream::send(const char* data, std::size_t size, Event& socket_event, Event& stop, int& error)
{
    Impl& s = *impl_;
    error = 0;
    if (!s.active)
        return NetStatus::failed;
    while (size > 0) {
        int n = SSL_write(s.ssl.get(), data, static_cast<int>(size > 16384 ? 16384 : size));
        if (n <= 0) {
            s.peer.detail = openssl_errors();
            return NetStatus::failed;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
        if (NetStatus sent = s.flush(socket_event, stop, error); sent != NetStatus::ok)
            return sent;
    }
    return NetStatus::ok;
}

NetStatus TlsStream::receive(char* buffer, std::size_t capacity, std::size_t& received, Event& socket_event,
                             Event& stop, int& error)
{
    Impl& s = *impl_;
    received = 0;
    error = 0;
    if (!s.active)
        return NetStatus::failed;
    for (;;) {
        if (stop.is_set())
            return NetStatus::stopped;
        int n = SSL_read(s.ssl.get(), buffer, static_cast<int>(capacity > 65536 ? 65536 : capacity));
        if (n > 0) {
            received = static_cast<std::size_t>(n);
            return NetStatus::ok;
        }
        // Session tickets and key updates may want an answer.
        if (NetStatus sent = s.flush(socket_event, stop, error); sent != NetStatus::ok)
            return sent;
        int why = SSL_get_error(s.ssl.get(), n);
        if (why == SSL_ERROR_ZERO_RETURN)
            return NetStatus::closed;
        if (why != SSL_ERROR_WANT_READ) {
            s.peer.detail = openssl_errors();
            return NetStatus::failed;
        }
        if (NetStatus got = s.pull(socket_event, stop, error); got != NetStatus::ok)
            return got;
    }
}

}  // namespace kivo::platform
