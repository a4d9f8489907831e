#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "platform/net.h"
#include "platform/sync.h"

namespace kivo::platform {

// Why a handshake did not give a connection the account may use.
enum class TlsVerdict {
    ok,
    wrong_host,        // the certificate names another host
    expired,           // outside its validity period
    untrusted,         // no chain to a trusted root (or revoked)
    handshake_closed,  // the server closed the connection during the handshake
    handshake_failed,  // no common protocol, a broken record, a system error
};

// What the handshake saw, for the log and kivo-diag.
struct TlsPeer {
    std::string protocol;     // "TLS 1.2"
    std::string cipher;
    std::string subject;      // the certificate's subject, as the system spells it
    std::string fingerprint;  // SHA-256 of the certificate, lower-case hex
    std::string detail;       // the system's own words for a failure
};

// Upper-case, lower-case, with or without colons or spaces between the
// bytes: the 64 hex digits in lower case, or empty when it is not a
// SHA-256 fingerprint.
std::string normalise_fingerprint(const std::string& text);

// A TLS client over a connected TcpSocket, which it borrows. Every wait is
// the socket's own, so it also wakes on the stop event; `progress` runs
// whenever bytes arrived, so the caller can re-arm its deadline. Windows:
// Schannel with the system's certificate store. POSIX (tests and tools
// only): OpenSSL with its default paths (SSL_CERT_FILE is honoured).
class TlsStream {
public:
    TlsStream();
    ~TlsStream();
    TlsStream(const TlsStream&) = delete;
    TlsStream& operator=(const TlsStream&) = delete;

    // Handshakes and checks the certificate for `host`. A certificate whose
    // fingerprint equals `trusted_fingerprint` (normalised; empty: none) is
    // accepted whatever the checks say. ok only with verdict() == ok;
    // failed with a verdict, closed/stopped as the socket says.
    NetStatus handshake(TcpSocket& socket, const std::string& host, const std::string& trusted_fingerprint,
                        Event& socket_event, Event& stop, const std::function<void()>& progress, int& error);

    bool active() const;
    TlsVerdict verdict() const;
    const TlsPeer& peer() const;

    NetStatus send(const char* data, std::size_t size, Event& socket_event, Event& stop, int& error);
    // At least one byte of plain text (up to `capacity`); closed when the
    // server closed the connection or sent its close notice.
    NetStatus receive(char* buffer, std::size_t capacity, std::size_t& received, Event& socket_event, Event& stop,
                      int& error);

    // Forgets the session (the socket is the owner's to close).
    void reset();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kivo::platform
