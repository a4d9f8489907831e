// The POP3 session of an account: every operation runs on the account's
// own thread, every wait breaks at once when the stop event is signalled,
// and every failure leaves its reason in last_error.
#include <cstdarg>
#include <cstdio>
#include <exception>

#include "engine/account.h"
#include "engine/pop3_reply.h"
#include "log/log.h"
#include "message/message.h"
#include "platform/message_text.h"

namespace kivo {
namespace {

// Appended to recorded network errors, so a report says where it failed.
constexpr const char* kModule = "account_pop3.cpp";

}  // namespace

void Account::touch_timeout()
{
    if (owner_)
        owner_->schedule_timeout(*this);
}

void Account::close_socket()
{
    tls_.reset();
    socket_.close();
    greeting_read_ = false;
}

void Account::record_net_failure(platform::NetStatus status, int error, int line)
{
    close_socket();
    switch (status) {
    case platform::NetStatus::closed:
        set_error(MSG_CONNECTION_CLOSED, 0, nullptr, -1);
        break;
    case platform::NetStatus::failed:
        set_error(MSG_NETWORK_ERROR, static_cast<std::uint32_t>(error), kModule, line);
        break;
    case platform::NetStatus::stopped:  // a stop is not an error of the account
    case platform::NetStatus::ok:
        break;
    }
}

void Account::set_error(std::uint32_t message, std::uint32_t code, const char* file, int line)
{
    if (!last_error_.empty())
        return;  // the first error of a session is the one that explains it
    std::string text = code == 0 ? platform::message_text(message)
                                 : platform::message_text(message, {std::to_string(code)});
    if (file && line >= 0) {
        text += ' ';
        text += file;
        text += ", " + std::to_string(line);
    }
    if (text.size() > kLastErrorLimit)
        text.resize(kLastErrorLimit);
    last_error_ = text;
}

void Account::record_server_text()
{
    last_error_.assign(buffer_.text().substr(0, kLastErrorLimit));
}

bool Account::lookup()
{
    app_log().write_line("Lookup: account=%s", name_.c_str());
    touch_timeout();
    last_error_.clear();
    server_address_ = platform::Ipv4Address{};
    if (port_ < 1 || port_ > 65535) {
        // Cut to 16 bits it would quietly reach some other port.
        last_error_ = platform::message_text(MSG_BAD_PORT, {std::to_string(port_)});
        return false;
    }

    int error = 0;
    switch (platform::resolve_ipv4(server_.host(), static_cast<std::uint16_t>(port_), server_address_, error,
                                   stop_event_)) {
    case platform::NetStatus::ok:
        return true;
    case platform::NetStatus::stopped:
        return false;  // a stop is not an error of the account
    default:
        set_error(MSG_NETWORK_ERROR, static_cast<std::uint32_t>(error), kModule, __LINE__);
        return false;
    }
}

bool Account::hookup()
{
    app_log().write_line("hookup: account=%s", name_.c_str());
    touch_timeout();
    int error = 0;
    platform::NetStatus status = socket_.connect(server_address_, socket_event_, stop_event_, error);
    if (status != platform::NetStatus::ok) {
        record_net_failure(status, error, __LINE__);
        return false;
    }
    // A server that holds back its small segments until it sees an ACK
    // would otherwise wait for our delayed one at every answer. Refused:
    // the check goes on without.
    if (immediate_acks_)
        socket_.request_immediate_acks();
    greeting_read_ = false;
    if (security_ == Security::tls)
        return start_tls();
    if (security_ == Security::stls)
        return upgrade_with_stls();
    return true;
}

bool Account::read_greeting()
{
    if (greeting_read_)
        return true;
    if (!read_answer() || !is_ok())
        return false;
    greeting_.assign(answer());
    greeting_read_ = true;
    return true;
}

bool Account::read_answer() { return read_reply(false); }

bool Account::read_multiline_answer() { return read_reply(true); }

bool Account::read_reply(bool multiline, bool keep_rest)
{
    touch_timeout();
    // Pipelined answers follow each other in the stream: what came after the
    // previous one is the start of this one. One at a time, anything after
    // an answer is not an answer to anything and is dropped.
    if (keep_rest)
        buffer_.next_reply();
    else
        buffer_.clear();
    std::size_t checked = 0;
    for (;;) {
        std::size_t end = find_reply_end(buffer_.text(), multiline, checked);
        if (end != std::string_view::npos) {
            buffer_.cut(end, end + reply_terminator_size(buffer_.text(), multiline));
            log_answer(buffer_.text());
            return true;
        }
        checked = buffer_.size();
        if (!buffer_.make_room()) {
            close_socket();
            set_error(MSG_REPLY_TOO_LONG, 0, nullptr, -1);
            return false;
        }

        std::size_t received = 0;
        int error = 0;
        platform::NetStatus status =
            tls_.active()
                ? tls_.receive(buffer_.free_space(), buffer_.free_size(), received, socket_event_, stop_event_, error)
                : socket_.receive(buffer_.free_space(), buffer_.free_size(), received, socket_event_, stop_event_,
                                  error);
        if (status == platform::NetStatus::ok) {
            if (!buffer_.commit(received)) {
                close_socket();
                set_error(MSG_REPLY_TOO_LONG, 0, nullptr, -1);
                return false;
            }
            continue;
        }
        if (status == platform::NetStatus::closed && buffer_.size() > 0) {
            // Half a reply says more about the failure than any text of ours.
            close_socket();
            record_server_text();
            return false;
        }
        record_net_failure(status, error, __LINE__);
        return false;
    }
}

void Account::log_answer(std::string_view text)
{
    // A log line holds far less than a TOP answer: only what it can show is
    // handed to the formatter, which would otherwise walk the whole answer.
    // Like the whole text as a C string, it ends at a NUL.
    std::string_view shown = text.substr(0, Log::kLineLimit);
    app_log().write_line("Answer from server %s: %.*s", server_.host().c_str(), static_cast<int>(shown.size()),
                         shown.data());
}

bool Account::format_request(std::string& line, const char* format, va_list args)
{
    char text[kRequestLimit];
    int length = std::vsnprintf(text, sizeof text - 2, format, args);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof text - 2) {
        set_error(MSG_REQUEST_TOO_LONG, 0, nullptr, -1);
        return false;
    }
    // A CR or LF from the user's texts would end the command early and send
    // the rest as a command of its own.
    line.assign(text, static_cast<std::size_t>(length));
    if (has_line_break(line)) {
        set_error(MSG_LINE_BREAK_IN_REQUEST, 0, nullptr, -1);
        return false;
    }
    line += "\r\n";
    return true;
}

void Account::log_request(const std::string& line)
{
    if (line.find("PASS") != std::string::npos)
        app_log().write_line("Request for server %s: %s", server_.host().c_str(), "PASS");
    else
        app_log().write_line("Request for server %s: %s", server_.host().c_str(), line.c_str());
}

bool Account::send_bytes(const std::string& bytes)
{
    int error = 0;
    platform::NetStatus status = tls_.active() ? tls_.send(bytes.data(), bytes.size(), socket_event_, stop_event_, error)
                                               : socket_.send(bytes.data(), bytes.size(), socket_event_, stop_event_, error);
    if (status != platform::NetStatus::ok) {
        record_net_failure(status, error, __LINE__);
        return false;
    }
    app_log().write_line("Request for server %s: OK", server_.host().c_str());
    return true;
}

bool Account::send_request(const char* format, ...)
{
    touch_timeout();
    if (!socket_.is_open()) {
        set_error(MSG_UNEXPECTED_ERROR, 0, nullptr, -1);
        return false;
    }
    std::string line;
    va_list args;
    va_start(args, format);
    bool formatted = format_request(line, format, args);
    va_end(args);
    if (!formatted)
        return false;
    log_request(line);
    return send_bytes(line);
}

bool Account::is_ok()
{
    bool ok = buffer_.text().substr(0, 3) == "+OK";
    if (!ok)
        record_server_text();
    return ok;
}

bool Account::is_err()
{
    bool err = buffer_.text().substr(0, 4) == "-ERR";
    if (err)
        record_server_text();
    return err;
}

bool Account::connect_to_server()
{
    app_log().write_line("Connect to mail_server: account=%s server=%s user=%s check_interval=%d check_timeout=%d",
                         name_.c_str(), server_.host().c_str(), server_.user().c_str(), check_interval_, timeout_);
    last_error_.clear();
    tls_failed_ = false;
    if (secure_auth_ && hookup() && secure_login())
        return true;
    // A certificate refused once is refused again; no second try.
    if (tls_failed_)
        return false;
    // APOP refused or not offered: a fresh connection with USER and PASS.
    return hookup() && non_secure_login();
}

bool Account::secure_login()
{
    app_log().write_line("Secure login: account=%s", name_.c_str());
    if (!read_greeting()) {
        close_socket();
        return false;
    }
    std::string timestamp = get_timestamp(greeting_);
    if (timestamp.empty()) {
        close_socket();
        return false;
    }
    std::string digest = make_apop_digest(timestamp, server_.password());
    if (!send_request("APOP %s %s", server_.user().c_str(), digest.c_str()) || !read_answer()) {
        close_socket();
        return false;
    }
    return accept_login_answer();
}

bool Account::accept_login_answer()
{
    if (is_ok())
        return true;
    // Refused: say goodbye so the server closes the session cleanly.
    if (is_err() && send_request("QUIT"))
        read_answer();
    close_socket();
    return false;
}

bool Account::non_secure_login()
{
    app_log().write_line("Non secure login: account=%s", name_.c_str());
    if (security_ != Security::none && !tls_.active()) {
        // Never the password in clear when the account asked for TLS.
        close_socket();
        set_error(MSG_TLS_REQUIRED, 0, nullptr, -1);
        return false;
    }
    if (!read_greeting() || !send_request("USER %s", server_.user().c_str()) || !read_answer() ||
        !is_ok() || !send_request("PASS %s", server_.password().c_str()) || !read_answer()) {
        close_socket();
        return false;
    }
    return accept_login_answer();
}

bool Account::check_mail(MessageList& out)
{
    app_log().write_line("Check to mail server: account=%s", name_.c_str());
    bool delete_marked = cycle_ && cycle_->should_delete_marked(*this);

    session_pipelined_ = false;
    if (pipelining_) {
        session_pipelined_ = ask_pipelining();
        if (!socket_.is_open())
            return false;
    }
    if (!send_request("LIST") || !read_multiline_answer() || !is_ok())
        return false;
    std::vector<ListEntry> entries = parse_list_reply(answer());

    bool fetched = session_pipelined_ ? fetch_pipelined(entries, delete_marked, out)
                                      : fetch_one_by_one(entries, delete_marked, out);
    if (!fetched)
        return false;
    if (cycle_)
        cycle_->carry_flags_over(*this, out);
    return true;
}

std::shared_ptr<Message> Account::build_message(const ListEntry& entry)
{
    try {
        split_reply_lines(answer(), reply_lines_);
        return std::make_shared<Message>(reply_lines_, entry.size < 0 ? 0 : entry.size);
    } catch (const std::exception&) {
        app_log().write_line("Error in Account::check_mail: message %d not built", entry.number);
        return nullptr;
    }
}

bool Account::fetch_one_by_one(const std::vector<ListEntry>& entries, bool delete_marked, MessageList& out)
{
    for (const ListEntry& entry : entries) {
        // Building messages takes time of its own; a stop must not wait for
        // the whole mailbox.
        if (stop_event_.is_set()) {
            close_socket();
            return false;
        }
        if (!send_request("TOP %d %d", entry.number, preview_lines_) || !read_multiline_answer() || !is_ok()) {
            // A refused TOP leaves one message out; a lost connection (or a
            // stop) would leave every later one out, so the check fails.
            if (!socket_.is_open())
                return false;
            continue;
        }
        std::shared_ptr<Message> message = build_message(entry);
        if (!message)
            continue;
        if (delete_marked && cycle_->must_delete(*this, entry.number, *message) && delete_message(entry.number))
            continue;
        if (!socket_.is_open())
            return false;
        if (cycle_)
            cycle_->classify(*this, *message);
        out.push_back(std::move(message));
    }
    return true;
}

bool Account::delete_message(int number)
{
    app_log().write_line("Delete message: account=%s", name_.c_str());
    return send_request("DELE %d", number) && read_answer() && is_ok();
}

bool Account::disconnect()
{
    bool ok = send_request("QUIT") && read_answer() && buffer_.text().substr(0, 3) == "+OK";
    close_socket();
    app_log().write_line("disconnect from mail server: account=%s", name_.c_str());
    return ok;
}

}  // namespace kivo
