#pragma once
#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/account_hooks.h"
#include "engine/pipeline_window.h"
#include "engine/receive_buffer.h"
#include "engine/timed_account.h"
#include "message/url.h"
#include "message_ids.h"
#include "platform/net.h"
#include "platform/printf_check.h"
#include "platform/sync.h"
#include "platform/tls.h"

namespace kivo {
namespace platform {
class ByteReader;
class ByteWriter;
}  // namespace platform

class EngineHost;
struct ListEntry;

// One watched POP3 mailbox: its settings, its run-time state, the fields of
// its POP3 session and the messages of its last check. The session runs on
// the account's own thread only; the state and the counts are read by other
// threads and are therefore atomic.
class Account : public TimedAccount {
public:
    static constexpr std::int32_t kDefaultPort = 110;
    static constexpr std::int32_t kDefaultCheckInterval = 300;  // seconds
    static constexpr std::int32_t kDefaultTimeout = 120;        // seconds
    static constexpr std::int32_t kDefaultPreviewLines = 99;
    static constexpr std::size_t kLastErrorLimit = 255;
    static constexpr std::size_t kRequestLimit = 4096;  // one command line, CRLF included
    // Commands sent ahead of their answers when the server offers
    // PIPELINING, at least (bench/pop3_check_bench measures the choice).
    static constexpr std::size_t kDefaultPipelineWindow = PipelineWindow::kDefaultCommands;

    explicit Account(AccountOwner* owner = nullptr);
    ~Account();
    Account(const Account&) = delete;
    Account& operator=(const Account&) = delete;

    // ---- settings
    AccountOwner* owner() const { return owner_; }
    // Unique for the process's life, never reused: what another thread names
    // the account by, since an address may be reused after a removal.
    std::uint64_t serial() const { return serial_; }
    const std::string& name() const { return name_; }
    void set_name(const std::string& name) { name_ = name; }
    const Url& server() const { return server_; }
    void set_server(const Url& server) { server_ = server; }
    std::int32_t port() const { return port_; }
    void set_port(std::int32_t port) { port_ = port; }
    std::int32_t check_interval() const { return check_interval_; }
    void set_check_interval(std::int32_t seconds) { check_interval_ = seconds; }
    std::int32_t timeout() const { return timeout_; }
    void set_timeout(std::int32_t seconds) { timeout_ = seconds; }
    const std::string& sound_file() const { return sound_file_; }
    void set_sound_file(const std::string& file) { sound_file_ = file; }
    std::uint32_t deletion_mode() const { return deletion_mode_; }
    void set_deletion_mode(std::uint32_t mode) { deletion_mode_ = mode; }
    std::int32_t preview_lines() const { return preview_lines_; }
    void set_preview_lines(std::int32_t lines) { preview_lines_ = lines; }
    bool secure_auth() const { return secure_auth_; }
    void set_secure_auth(bool on) { secure_auth_ = on; }
    bool check_mailbox_size() const { return check_mailbox_size_; }
    void set_check_mailbox_size(bool on) { check_mailbox_size_ = on; }
    std::int32_t mailbox_bound() const { return mailbox_bound_; }
    void set_mailbox_bound(std::int32_t bytes) { mailbox_bound_ = bytes; }
    const std::string& launch_file() const { return launch_file_; }
    void set_launch_file(const std::string& file) { launch_file_ = file; }
    // Registry value "Pipelining"; off: no CAPA, one command at a time.
    bool pipelining() const { return pipelining_; }
    void set_pipelining(bool on) { pipelining_ = on; }
    // Registry value "Security": none (as before), implicit TLS from the
    // first byte, or STLS after the greeting. With either, the password
    // never leaves inside anything but TLS.
    enum class Security : std::uint32_t { none = 0, tls = 1, stls = 2 };
    Security security() const { return security_; }
    void set_security(Security security) { security_ = security; }
    // Registry value "TrustedFingerprint": the SHA-256 of the one
    // certificate the user accepted (hex); empty: the system decides alone.
    const std::string& trusted_fingerprint() const { return trusted_fingerprint_; }
    void set_trusted_fingerprint(const std::string& hex) { trusted_fingerprint_ = hex; }
    // Not stored: tests and the benchmark vary them.
    const PipelineWindow& pipeline_window() const { return pipeline_window_; }
    // Exactly `commands` out at once (at most PipelineWindow::kMaxCommands),
    // or more while their answers are expected to bring fewer than `bytes`.
    void set_pipeline_window(std::size_t commands, std::size_t bytes = 0)
    {
        pipeline_window_ = PipelineWindow(commands, bytes);
    }
    bool immediate_acks() const { return immediate_acks_; }
    void set_immediate_acks(bool on) { immediate_acks_ = on; }

    // ---- run-time state
    std::uint32_t state() const { return state_.load(); }
    void set_state(std::uint32_t state) { state_.store(state); }
    std::int32_t total_messages() const { return total_messages_.load(); }
    void set_total_messages(std::int32_t count) { total_messages_.store(count); }
    std::int32_t new_messages() const { return new_messages_.load(); }
    void set_new_messages(std::int32_t count) { new_messages_.store(count); }
    std::time_t last_check() const { return static_cast<std::time_t>(last_check_.load()); }
    void set_last_check(std::time_t when) { last_check_.store(static_cast<std::int64_t>(when)); }
    bool resolved() const { return resolved_; }
    void set_resolved(bool resolved) { resolved_ = resolved; }
    int lock_depth() const { return lock_depth_; }
    void set_lock_depth(int depth) { lock_depth_ = depth; }

    platform::Event& stop_event() override { return stop_event_; }
    platform::Event& socket_event() { return socket_event_; }
    platform::Semaphore& list_lock() { return list_lock_; }
    MessageList& messages() { return messages_; }
    const MessageList& messages() const { return messages_; }

    // The checking cycle and filters that check_mail consults; none: no
    // deletions, no classification, nothing carried over.
    void set_check_cycle(CheckCycle* cycle) { cycle_ = cycle; }

    // ---- POP3 session (the account's thread only)
    const std::string& last_error() const { return last_error_; }
    void clear_last_error() { last_error_.clear(); }
    const platform::Ipv4Address& server_address() const { return server_address_; }
    bool socket_open() const { return socket_.is_open(); }
    std::size_t receive_buffer_capacity() const { return buffer_.capacity(); }
    // The reply in the receive buffer, cut before its terminator.
    std::string_view answer() const { return buffer_.text(); }
    // The last check_mail sent its TOP and DELE commands pipelined.
    bool session_pipelined() const { return session_pipelined_; }
    // The session runs inside TLS; what the last handshake saw (kept after
    // the connection closed, for the log and kivo-diag).
    bool session_secure() const { return tls_.active(); }
    const platform::TlsPeer& tls_peer() const { return tls_peer_; }
    // The SHA-256 (hex) of the certificate the server presented when the
    // last handshake refused it as not trusted; empty once a handshake ended
    // any other way. Only ever shown, so that the user may choose to trust
    // it: it is never trusted by itself. Any thread.
    std::string untrusted_fingerprint() const;

    bool lookup();
    bool connect_to_server();
    bool hookup();
    bool secure_login();
    bool non_secure_login();
    bool check_mail(MessageList& out);
    bool delete_message(int number);
    bool disconnect();
    bool send_request(const char* format, ...) KIVO_PRINTF_FORMAT(2, 3);
    bool read_answer();
    bool read_multiline_answer();
    bool is_ok();
    bool is_err();
    // Records a failure unless one is recorded already: the message text
    // with the code as its insert (none when 0), then " file, line" when a
    // place is given.
    void set_error(std::uint32_t message, std::uint32_t code, const char* file, int line);

    // ---- checking thread and message list (account_thread.cpp)
    void set_host(EngineHost* host) { host_ = host; }
    EngineHost* host() const { return host_; }
    std::string account_name() const override { return name_; }
    std::int32_t timeout_seconds() const override { return timeout_; }
    bool start_thread() override;
    void signal_stop() override;
    bool wait_thread() override;
    bool thread_held() const { return thread_held_; }
    void account_thread_core();
    bool check_once();
    // The main window's hold on the list: waits at most 10000 ms, nests.
    bool lock_list();
    void unlock_list();
    void mark_all_seen();
    int count_marked() const;
    std::shared_ptr<Message> find_by_key(std::uint32_t key) const;
    // A message of this check that no earlier check of this run listed.
    // The account's own thread, during a check (before the list is replaced).
    bool first_seen(const Message& message) const;
    // Filter actions wait here until the session has ended and the deadline
    // is disarmed; the account thread then fires them, each only while the
    // stop event is clear. A failed check drops them: its messages are new
    // again at the next check, which fires them then.
    void defer_action(std::function<void()> action) { deferred_actions_.push_back(std::move(action)); }
    std::size_t fire_deferred_actions();
    void drop_deferred_actions() { deferred_actions_.clear(); }
    std::size_t deferred_action_count() const { return deferred_actions_.size(); }
    // The pause after a check that ran from tick t1 to tick t2 (32-bit
    // ticks, which may wrap during the check).
    static std::uint32_t pause_after(std::int32_t interval_seconds, std::uint32_t t1, std::uint32_t t2);
    static constexpr std::uint32_t kThreadGraceMs = 2000;
    static constexpr std::uint32_t kListLockWaitMs = 10000;

    // ---- kivo.dat record and registry values
    void write(platform::ByteWriter& out) const;
    bool read(platform::ByteReader& in, std::string_view magic, std::string& error_text);
    void save_registry() const;
    void load_registry();
    void delete_registry() const;

private:
    bool read_reply(bool multiline, bool keep_rest = false);
    // One command line with CRLF in `line`; false (recorded) when it is too
    // long or holds a line break.
    bool format_request(std::string& line, const char* format, va_list args) KIVO_PRINTF_FORMAT(3, 0);
    void log_request(const std::string& line);
    void log_answer(std::string_view text);
    bool send_bytes(const std::string& bytes);
    // Appends one command to a batch that send_batch() sends in one piece.
    bool queue_request(std::string& batch, const char* format, ...) KIVO_PRINTF_FORMAT(3, 4);
    bool send_batch(std::string& batch);
    // CAPA: true when the server offers PIPELINING. A refusal is not an
    // error; a lost connection leaves the socket closed.
    bool ask_pipelining();
    // The TOP of every listed message, and the DELE of those that must go:
    // one command at a time, or pipelined within the window.
    bool fetch_one_by_one(const std::vector<ListEntry>& entries, bool delete_marked, MessageList& out);
    bool fetch_pipelined(const std::vector<ListEntry>& entries, bool delete_marked, MessageList& out);
    // The Message of the TOP answer in the buffer; none when it cannot be built.
    std::shared_ptr<Message> build_message(const ListEntry& entry);
    // The answer to APOP or PASS: true when logged in, else QUIT and close.
    bool accept_login_answer();
    void record_server_text();
    // The greeting, read once per connection and kept for APOP.
    bool read_greeting();
    // The TLS handshake over the open socket; a failure records its text.
    bool start_tls();
    // Greeting, CAPA with STLS, STLS, handshake.
    bool upgrade_with_stls();
    void close_socket();
    void touch_timeout();
    void record_net_failure(platform::NetStatus status, int error, int line);

    AccountOwner* owner_;
    std::vector<std::function<void()>> deferred_actions_;
    const std::uint64_t serial_;
    std::string name_;
    Url server_{"localhost"};  // no scheme: rejected, so every part is empty
    std::int32_t port_ = kDefaultPort;
    std::int32_t check_interval_ = kDefaultCheckInterval;
    std::int32_t timeout_ = kDefaultTimeout;
    std::string sound_file_;
    std::atomic<std::int32_t> total_messages_{0};
    std::uint32_t deletion_mode_ = MSG_DELETION_CONFIRM;
    std::int32_t preview_lines_ = kDefaultPreviewLines;
    std::atomic<std::int32_t> new_messages_{0};
    std::atomic<std::uint32_t> state_{MSG_STATE_NOT_STARTED};
    bool secure_auth_ = true;
    bool check_mailbox_size_ = false;
    std::int32_t mailbox_bound_ = 0;
    std::string launch_file_;
    bool pipelining_ = true;
    PipelineWindow pipeline_window_;
    bool immediate_acks_ = true;
    bool session_pipelined_ = false;
    Security security_ = Security::none;
    std::string trusted_fingerprint_;
    std::string greeting_;
    platform::TlsPeer tls_peer_;
    mutable std::mutex untrusted_lock_;  // the window thread reads what the account thread saw
    std::string untrusted_fingerprint_;
    bool greeting_read_ = false;
    bool tls_failed_ = false;  // a certificate refused: no second connection
    platform::Semaphore list_lock_{1, 1};
    platform::Event socket_event_{true, false};
    platform::Event stop_event_{true, false};
    platform::TcpSocket socket_;
    platform::TlsStream tls_;
    ReceiveBuffer buffer_;
    std::vector<std::string> reply_lines_;  // the last TOP answer's lines, kept for their storage
    std::string last_error_;
    platform::Ipv4Address server_address_;
    std::atomic<std::int64_t> last_check_;
    bool resolved_ = false;
    int lock_depth_ = 0;
    MessageList messages_;
    CheckCycle* cycle_ = nullptr;
    EngineHost* host_ = nullptr;
    std::atomic<bool> thread_held_{false};  // read by the window while the manager starts and stops
    platform::Thread thread_;  // last: it ends before the members it uses go
};

}  // namespace kivo
