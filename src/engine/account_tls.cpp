// The account's secure connection: implicit TLS from the first byte, or
// STLS after the greeting. A refused certificate or a server without STLS
// ends the check; there is no falling back to plain text.
#include "engine/account.h"
#include "engine/pop3_reply.h"
#include "log/log.h"
#include "platform/message_text.h"

namespace kivo {

bool Account::start_tls()
{
    touch_timeout();
    const std::string& host = server_.host();
    int error = 0;
    platform::NetStatus status =
        tls_.handshake(socket_, host, trusted_fingerprint_, socket_event_, stop_event_, [this] { touch_timeout(); },
                       error);
    tls_peer_ = tls_.peer();
    const platform::TlsPeer& peer = tls_peer_;
    if (status != platform::NetStatus::stopped) {
        bool untrusted = status != platform::NetStatus::ok && tls_.verdict() == platform::TlsVerdict::untrusted;
        std::lock_guard<std::mutex> guard(untrusted_lock_);
        untrusted_fingerprint_ = untrusted ? peer.fingerprint : std::string();
    }
    if (status == platform::NetStatus::ok) {
        app_log().write_line("TLS: account=%s %s %s subject=%s sha256=%s", name_.c_str(), peer.protocol.c_str(),
                             peer.cipher.c_str(), peer.subject.c_str(), peer.fingerprint.c_str());
        return true;
    }
    platform::TlsVerdict verdict = tls_.verdict();
    app_log().write_line("TLS failed: account=%s host=%s verdict=%d subject=%s sha256=%s detail=%s", name_.c_str(),
                         host.c_str(), static_cast<int>(verdict), peer.subject.c_str(), peer.fingerprint.c_str(),
                         peer.detail.c_str());
    close_socket();
    if (status == platform::NetStatus::stopped)
        return false;  // a stop is not an error of the account
    switch (verdict) {
    case platform::TlsVerdict::wrong_host:
        tls_failed_ = true;
        last_error_ = platform::message_text(MSG_TLS_WRONG_HOST, {host}).substr(0, kLastErrorLimit);
        break;
    case platform::TlsVerdict::expired:
        tls_failed_ = true;
        last_error_ = platform::message_text(MSG_TLS_EXPIRED, {host}).substr(0, kLastErrorLimit);
        break;
    case platform::TlsVerdict::untrusted:
        tls_failed_ = true;
        last_error_ = platform::message_text(MSG_TLS_UNTRUSTED, {host}).substr(0, kLastErrorLimit);
        break;
    case platform::TlsVerdict::handshake_closed:
        set_error(MSG_TLS_HANDSHAKE_CLOSED, 0, nullptr, -1);
        break;
    case platform::TlsVerdict::handshake_failed:
    case platform::TlsVerdict::ok:
        set_error(MSG_TLS_HANDSHAKE_FAILED, 0, nullptr, -1);
        break;
    }
    return false;
}

std::string Account::untrusted_fingerprint() const
{
    std::lock_guard<std::mutex> guard(untrusted_lock_);
    return untrusted_fingerprint_;
}

bool Account::upgrade_with_stls()
{
    if (!read_greeting() || !send_request("CAPA") || !read_multiline_answer()) {
        close_socket();
        return false;
    }
    if (!capa_lists(answer(), "STLS")) {
        // Also what a man in the middle who strips STLS looks like.
        close_socket();
        last_error_.clear();
        set_error(MSG_STLS_NOT_OFFERED, 0, nullptr, -1);
        tls_failed_ = true;
        return false;
    }
    if (!send_request("STLS") || !read_answer()) {
        // A server, or someone in between, that hangs up at STLS is told
        // apart from a network fault.
        if (last_error_ == platform::message_text(MSG_CONNECTION_CLOSED)) {
            last_error_.clear();
            set_error(MSG_STLS_CLOSED, 0, nullptr, -1);
        }
        close_socket();
        return false;
    }
    if (answer().substr(0, 3) != "+OK") {
        app_log().write_line("STLS refused: account=%s", name_.c_str());
        close_socket();
        set_error(MSG_STLS_REFUSED, 0, nullptr, -1);
        tls_failed_ = true;
        return false;
    }
    // Bytes after the +OK came in clear and would pass for the first answer
    // inside TLS.
    buffer_.next_reply();
    if (buffer_.size() != 0) {
        app_log().write_line("STLS: account=%s, %zu bytes in clear after +OK", name_.c_str(), buffer_.size());
        buffer_.clear();
        close_socket();
        set_error(MSG_TLS_HANDSHAKE_FAILED, 0, nullptr, -1);
        tls_failed_ = true;
        return false;
    }
    return start_tls();
}

}  // namespace kivo
