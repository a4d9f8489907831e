// The product's TLS client: Schannel through SSPI. The certificate is
// checked by the system's chain engine against the user's and machine's
// stores with the system's revocation rules; nothing of ours is trusted.
#include "platform/tls.h"

#include <winsock2.h>
#include <windows.h>
#define SECURITY_WIN32
#include <bcrypt.h>
#include <schannel.h>
#include <security.h>
#include <wincrypt.h>

#include <cstring>
#include <vector>

#ifndef SP_PROT_TLS1_3_CLIENT
#define SP_PROT_TLS1_3_CLIENT 0x00002000
#endif

namespace kivo::platform {
namespace {

constexpr std::size_t kMaxRecord = 16384 + 512;  // a record and its framing
// SSL_EXTRA_CERT_CHAIN_POLICY_PARA checks to leave out (wininet's values).
constexpr DWORD kIgnoreRevocation = 0x00000080;
constexpr DWORD kIgnoreDateInvalid = 0x00002000;

std::wstring widen(const std::string& text)
{
    std::wstring out;
    for (unsigned char c : text)
        out += static_cast<wchar_t>(c);  // host names are ASCII
    return out;
}

std::string hex_of(const unsigned char* bytes, std::size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < size; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

std::string sha256_hex(const unsigned char* data, DWORD size)
{
    BCRYPT_ALG_HANDLE alg = nullptr;
    if (BCryptOpenAlgorithmProvider(&alg, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0)
        return {};
    std::string out;
    BCRYPT_HASH_HANDLE hash = nullptr;
    unsigned char digest[32];
    if (BCryptCreateHash(alg, &hash, nullptr, 0, nullptr, 0, 0) == 0) {
        if (BCryptHashData(hash, const_cast<PUCHAR>(data), size, 0) == 0 &&
            BCryptFinishHash(hash, digest, sizeof digest, 0) == 0)
            out = hex_of(digest, sizeof digest);
        BCryptDestroyHash(hash);
    }
    BCryptCloseAlgorithmProvider(alg, 0);
    return out;
}

std::string protocol_name(DWORD protocol)
{
    if (protocol & SP_PROT_TLS1_3_CLIENT)
        return "TLS 1.3";
    if (protocol & SP_PROT_TLS1_2_CLIENT)
        return "TLS 1.2";
    if (protocol & SP_PROT_TLS1_1_CLIENT)
        return "TLS 1.1";
    if (protocol & SP_PROT_TLS1_0_CLIENT)
        return "TLS 1.0";
    return "unknown";
}

std::string cipher_name(ALG_ID cipher, DWORD strength)
{
    std::string name;
    switch (cipher) {
    case CALG_AES_128: name = "AES-128"; break;
    case CALG_AES_256: name = "AES-256"; break;
    case CALG_AES: name = "AES-" + std::to_string(strength); break;
    case CALG_3DES: name = "3DES"; break;
    case CALG_RC4: name = "RC4"; break;
    default: name = "cipher " + std::to_string(cipher) + " (" + std::to_string(strength) + " bits)"; break;
    }
    return name;
}

std::string status_text(long code)
{
    char text[64];
    std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(code));
    return text;
}

struct Credentials {
    CredHandle handle{};
    bool valid = false;
    ~Credentials()
    {
        if (valid)
            FreeCredentialsHandle(&handle);
    }
};

struct Context {
    CtxtHandle handle{};
    bool valid = false;
    ~Context()
    {
        if (valid)
            DeleteSecurityContext(&handle);
    }
};

struct CertContext {
    PCCERT_CONTEXT cert = nullptr;
    ~CertContext()
    {
        if (cert)
            CertFreeCertificateContext(cert);
    }
};

struct ChainContext {
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    ~ChainContext()
    {
        if (chain)
            CertFreeCertificateChain(chain);
    }
};

// Sends and frees a buffer the package allocated.
NetStatus send_token(TcpSocket& socket, SecBuffer& token, Event& socket_event, Event& stop, int& error)
{
    NetStatus status = NetStatus::ok;
    if (token.pvBuffer && token.cbBuffer > 0)
        status = socket.send(static_cast<const char*>(token.pvBuffer), token.cbBuffer, socket_event, stop, error);
    if (token.pvBuffer)
        FreeContextBuffer(token.pvBuffer);
    token.pvBuffer = nullptr;
    token.cbBuffer = 0;
    return status;
}

}  // namespace

struct TlsStream::Impl {
    Credentials credentials;
    Context context;
    TcpSocket* socket = nullptr;
    std::wstring host;
    bool active = false;
    TlsVerdict verdict = TlsVerdict::handshake_failed;
    TlsPeer peer;
    SecPkgContext_StreamSizes sizes{};
    std::vector<char> incoming;  // cipher text not yet decrypted
    std::string plain;           // decrypted, not yet given out
    bool peer_closed = false;

    NetStatus pull(Event& socket_event, Event& stop, int& error)
    {
        char chunk[kMaxRecord];
        std::size_t got = 0;
        NetStatus status = socket->receive(chunk, sizeof chunk, got, socket_event, stop, error);
        if (status == NetStatus::ok)
            incoming.insert(incoming.end(), chunk, chunk + got);
        return status;
    }

    // Runs InitializeSecurityContext until the handshake is done, starting
    // with what is in `incoming` (a first call has nothing). `at_once`: the
    // first call goes with what is there, even nothing (after
    // SEC_I_RENEGOTIATE the server may have nothing more to say).
    NetStatus negotiate(bool first, Event& socket_event, Event& stop, const std::function<void()>& progress,
                        int& error, bool at_once = false)
    {
        const DWORD wanted = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                             ISC_REQ_EXTENDED_ERROR | ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM |
                             ISC_REQ_MANUAL_CRED_VALIDATION;
        for (;;) {
            if (!first && !at_once && incoming.empty()) {
                NetStatus got = pull(socket_event, stop, error);
                if (got != NetStatus::ok)
                    return got;
                if (progress)
                    progress();
            }
            // A TLS record starts with its content type (20 to 24). A plain
            // POP3 greeting would otherwise pass for the head of a huge
            // record, and Schannel would wait for the rest until the time-out.
            if (!incoming.empty() && (incoming[0] < 20 || incoming[0] > 24)) {
                peer.detail = "the server does not answer in TLS";
                return NetStatus::failed;
            }
            SecBuffer in_buffers[2] = {};
            in_buffers[0].BufferType = SECBUFFER_TOKEN;
            in_buffers[0].pvBuffer = incoming.data();
            in_buffers[0].cbBuffer = static_cast<unsigned long>(incoming.size());
            in_buffers[1].BufferType = SECBUFFER_EMPTY;
            SecBufferDesc in_desc{SECBUFFER_VERSION, 2, in_buffers};
            SecBuffer out_buffers[1] = {};
            out_buffers[0].BufferType = SECBUFFER_TOKEN;
            SecBufferDesc out_desc{SECBUFFER_VERSION, 1, out_buffers};
            unsigned long got_flags = 0;
            SECURITY_STATUS rc = InitializeSecurityContextW(
                &credentials.handle, first ? nullptr : &context.handle,
                first ? const_cast<wchar_t*>(host.c_str()) : nullptr, wanted, 0, 0, first ? nullptr : &in_desc, 0,
                first ? &context.handle : nullptr, &out_desc, &got_flags, nullptr);
            if (first)
                context.valid = rc == SEC_I_CONTINUE_NEEDED || rc == SEC_E_OK;
            first = false;
            at_once = false;
            if (rc == SEC_E_INCOMPLETE_MESSAGE) {
                NetStatus got = pull(socket_event, stop, error);
                if (got != NetStatus::ok)
                    return got;
                if (progress)
                    progress();
                continue;
            }
            NetStatus sent = send_token(*socket, out_buffers[0], socket_event, stop, error);
            if (sent != NetStatus::ok)
                return sent;
            if (rc != SEC_E_OK && rc != SEC_I_CONTINUE_NEEDED) {
                peer.detail = "InitializeSecurityContext " + status_text(rc);
                error = static_cast<int>(rc);
                return NetStatus::failed;
            }
            // What the server sent beyond this handshake message.
            if (in_buffers[1].BufferType == SECBUFFER_EXTRA && in_buffers[1].cbBuffer > 0)
                incoming.erase(incoming.begin(), incoming.end() - in_buffers[1].cbBuffer);
            else
                incoming.clear();
            if (rc == SEC_E_OK)
                return NetStatus::ok;
        }
    }

    TlsVerdict judge(const std::string& trusted)
    {
        CertContext remote;
        if (QueryContextAttributesW(&context.handle, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &remote.cert) != SEC_E_OK ||
            !remote.cert) {
            peer.detail = "no certificate";
            return TlsVerdict::untrusted;
        }
        peer.fingerprint = sha256_hex(remote.cert->pbCertEncoded, remote.cert->cbCertEncoded);
        char subject[512] = {};
        CertNameToStrA(X509_ASN_ENCODING, &remote.cert->pCertInfo->Subject, CERT_X500_NAME_STR, subject,
                       sizeof subject);
        peer.subject = subject;
        if (!trusted.empty() && trusted == peer.fingerprint)
            return TlsVerdict::ok;

        CERT_CHAIN_PARA chain_para{};
        chain_para.cbSize = sizeof chain_para;
        ChainContext chain;
        if (!CertGetCertificateChain(nullptr, remote.cert, nullptr, remote.cert->hCertStore, &chain_para,
                                     CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT, nullptr, &chain.chain)) {
            peer.detail = "CertGetCertificateChain " + status_text(static_cast<long>(GetLastError()));
            return TlsVerdict::untrusted;
        }
        // The chain's own status first: the SSL policy of some systems
        // (Wine's) lets a chain that ends below any root pass.
        const DWORD status_bits = chain.chain->TrustStatus.dwErrorStatus;
        const DWORD broken = CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_PARTIAL_CHAIN |
                             CERT_TRUST_IS_NOT_SIGNATURE_VALID | CERT_TRUST_IS_REVOKED | CERT_TRUST_IS_CYCLIC |
                             CERT_TRUST_INVALID_EXTENSION | CERT_TRUST_INVALID_POLICY_CONSTRAINTS |
                             CERT_TRUST_INVALID_BASIC_CONSTRAINTS | CERT_TRUST_INVALID_NAME_CONSTRAINTS |
                             CERT_TRUST_IS_NOT_VALID_FOR_USAGE | CERT_TRUST_IS_EXPLICIT_DISTRUST;
        if (status_bits & broken) {
            peer.detail = "chain status " + status_text(static_cast<long>(status_bits)) + ", subject " +
                          peer.subject;
            return TlsVerdict::untrusted;
        }
        // Then the host name. A revocation server out of reach is not a
        // revoked certificate (revoked ones failed above), and the dates are
        // judged after the name so that each failure keeps its own words.
        SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl_para{};
        ssl_para.cbSize = sizeof ssl_para;
        ssl_para.dwAuthType = AUTHTYPE_SERVER;
        ssl_para.fdwChecks = kIgnoreRevocation | kIgnoreDateInvalid;
        ssl_para.pwszServerName = const_cast<wchar_t*>(host.c_str());
        CERT_CHAIN_POLICY_PARA policy{};
        policy.cbSize = sizeof policy;
        policy.dwFlags = CERT_CHAIN_POLICY_IGNORE_ALL_REV_UNKNOWN_FLAGS | CERT_CHAIN_POLICY_IGNORE_ALL_NOT_TIME_VALID_FLAGS;
        policy.pvExtraPolicyPara = &ssl_para;
        CERT_CHAIN_POLICY_STATUS status{};
        status.cbSize = sizeof status;
        if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.chain, &policy, &status)) {
            peer.detail = "CertVerifyCertificateChainPolicy " + status_text(static_cast<long>(GetLastError()));
            return TlsVerdict::untrusted;
        }
        if (status.dwError != 0) {
            peer.detail = "certificate check " + status_text(static_cast<long>(status.dwError)) + ", subject " +
                          peer.subject;
            return static_cast<long>(status.dwError) == CERT_E_CN_NO_MATCH ? TlsVerdict::wrong_host
                                                                           : TlsVerdict::untrusted;
        }
        if (status_bits & (CERT_TRUST_IS_NOT_TIME_VALID | CERT_TRUST_CTL_IS_NOT_TIME_VALID)) {
            peer.detail = "chain status " + status_text(static_cast<long>(status_bits)) + ", subject " +
                          peer.subject;
            return TlsVerdict::expired;
        }
        return TlsVerdict::ok;
    }

    void describe()
    {
        SecPkgContext_ConnectionInfo info{};
        if (QueryContextAttributesW(&context.handle, SECPKG_ATTR_CONNECTION_INFO, &info) == SEC_E_OK) {
            peer.protocol = protocol_name(info.dwProtocol);
            peer.cipher = cipher_name(info.aiCipher, info.dwCipherStrength);
        }
    }

    // Decrypts records from `incoming` into `plain`; ok when something was
    // decrypted or more bytes are needed (`need_more`).
    NetStatus decrypt(bool& need_more, Event& socket_event, Event& stop, int& error)
    {
        need_more = false;
        while (!incoming.empty()) {
            SecBuffer buffers[4] = {};
            buffers[0].BufferType = SECBUFFER_DATA;
            buffers[0].pvBuffer = incoming.data();
            buffers[0].cbBuffer = static_cast<unsigned long>(incoming.size());
            for (int i = 1; i < 4; ++i)
                buffers[i].BufferType = SECBUFFER_EMPTY;
            SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
            SECURITY_STATUS rc = DecryptMessage(&context.handle, &desc, 0, nullptr);
            if (rc == SEC_E_INCOMPLETE_MESSAGE) {
                need_more = true;
                return NetStatus::ok;
            }
            if (rc == SEC_I_CONTEXT_EXPIRED) {
                peer_closed = true;
                incoming.clear();
                return NetStatus::ok;
            }
            if (rc != SEC_E_OK && rc != SEC_I_RENEGOTIATE) {
                peer.detail = "DecryptMessage " + status_text(rc);
                error = static_cast<int>(rc);
                return NetStatus::failed;
            }
            std::vector<char> extra;
            for (SecBuffer& b : buffers) {
                if (b.BufferType == SECBUFFER_DATA && b.cbBuffer > 0)
                    plain.append(static_cast<const char*>(b.pvBuffer), b.cbBuffer);
                else if (b.BufferType == SECBUFFER_EXTRA && b.cbBuffer > 0)
                    extra.assign(static_cast<const char*>(b.pvBuffer),
                                 static_cast<const char*>(b.pvBuffer) + b.cbBuffer);
            }
            incoming.swap(extra);
            if (rc == SEC_I_RENEGOTIATE) {
                // TLS 1.3 tickets and key updates go back through the handshake.
                NetStatus again = negotiate(false, socket_event, stop, nullptr, error, true);
                if (again != NetStatus::ok)
                    return again;
            }
            if (!plain.empty())
                return NetStatus::ok;
        }
        need_more = true;
        return NetStatus::ok;
    }
};

TlsStream::TlsStream() : impl_(std::make_unique<Impl>()) {}
TlsStream::~TlsStream() = default;

bool TlsStream::active() const { return impl_->active; }
TlsVerdict TlsStream::verdict() const { return impl_->verdict; }
const TlsPeer& TlsStream::peer() const { return impl_->peer; }

void TlsStream::reset() { impl_ = std::make_unique<Impl>(); }

NetStatus TlsStream::handshake(TcpSocket& socket, const std::string& host, const std::string& trusted_fingerprint,
                               Event& socket_event, Event& stop, const std::function<void()>& progress, int& error)
{
    reset();
    Impl& s = *impl_;
    error = 0;
    s.socket = &socket;
    s.host = widen(host);

    SCHANNEL_CRED cred{};
    cred.dwVersion = SCHANNEL_CRED_VERSION;
    // The certificate is judged by us after the handshake, so each failure
    // gets its own words; the system's default protocols otherwise.
    cred.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    SECURITY_STATUS rc =
        AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND, nullptr,
                                  &cred, nullptr, nullptr, &s.credentials.handle, nullptr);
    if (rc != SEC_E_OK) {
        s.peer.detail = "AcquireCredentialsHandle " + status_text(rc);
        error = static_cast<int>(rc);
        return NetStatus::failed;
    }
    s.credentials.valid = true;

    NetStatus status = s.negotiate(true, socket_event, stop, progress, error);
    if (status != NetStatus::ok) {
        s.verdict = status == NetStatus::closed ? TlsVerdict::handshake_closed : TlsVerdict::handshake_failed;
        return status;
    }
    if (QueryContextAttributesW(&s.context.handle, SECPKG_ATTR_STREAM_SIZES, &s.sizes) != SEC_E_OK) {
        s.peer.detail = "no stream sizes";
        return NetStatus::failed;
    }
    s.describe();
    s.verdict = s.judge(normalise_fingerprint(trusted_fingerprint));
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
    std::vector<char> record;
    while (size > 0) {
        std::size_t piece = size < s.sizes.cbMaximumMessage ? size : s.sizes.cbMaximumMessage;
        record.assign(s.sizes.cbHeader + piece + s.sizes.cbTrailer, 0);
        std::memcpy(record.data() + s.sizes.cbHeader, data, piece);
        SecBuffer buffers[4] = {};
        buffers[0] = {s.sizes.cbHeader, SECBUFFER_STREAM_HEADER, record.data()};
        buffers[1] = {static_cast<unsigned long>(piece), SECBUFFER_DATA, record.data() + s.sizes.cbHeader};
        buffers[2] = {s.sizes.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + s.sizes.cbHeader + piece};
        buffers[3] = {0, SECBUFFER_EMPTY, nullptr};
        SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
        SECURITY_STATUS rc = EncryptMessage(&s.context.handle, 0, &desc, 0);
        if (rc != SEC_E_OK) {
            s.peer.detail = "EncryptMessage " + status_text(rc);
            error = static_cast<int>(rc);
            return NetStatus::failed;
        }
        std::size_t total = buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer;
        NetStatus sent = s.socket->send(record.data(), total, socket_event, stop, error);
        if (sent != NetStatus::ok)
            return sent;
        data += piece;
        size -= piece;
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
        if (!s.plain.empty()) {
            received = s.plain.size() < capacity ? s.plain.size() : capacity;
            std::memcpy(buffer, s.plain.data(), received);
            s.plain.erase(0, received);
            return NetStatus::ok;
        }
        if (s.peer_closed)
            return NetStatus::closed;
        bool need_more = false;
        NetStatus decrypted = s.decrypt(need_more, socket_event, stop, error);
        if (decrypted != NetStatus::ok)
            return decrypted;
        if (need_more && s.plain.empty() && !s.peer_closed) {
            NetStatus got = s.pull(socket_event, stop, error);
            if (got != NetStatus::ok)
                return got;
        }
    }
}

}  // namespace kivo::platform
