// kivo-diag check: one real POP3 session the way a check runs it (lookup,
// login, LIST and TOP, QUIT) with a throw-away account, to see why an
// account fails. The password comes from KIVO_PASSWORD or the first line
// of standard input, never from the command line, where others could see it.
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <iostream>
#include <map>
#include <sstream>

#include "arguments.h"
#include "engine/account.h"
#include "json_writer.h"
#include "log/log.h"
#include "message/message.h"
#include "platform/clock.h"
#include "subcommands.h"

namespace kivo::diag {
namespace {

struct CheckOptions {
    std::string host;
    std::int64_t port = 0;
    std::string user;
    bool apop = true;
    bool pipelining = true;
    std::int64_t lines = Account::kDefaultPreviewLines;
    std::int64_t timeout = Account::kDefaultTimeout;
    Account::Security security = Account::Security::none;
    std::string fingerprint;
};

bool parse_options(const Arguments& args, CheckOptions& options, std::ostream& err)
{
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool has_value = i + 1 < args.size();
        if (arg == "--no-apop") {
            options.apop = false;
        } else if (arg == "--no-pipelining") {
            options.pipelining = false;
        } else if (arg == "--tls") {
            options.security = Account::Security::tls;
        } else if (arg == "--stls") {
            options.security = Account::Security::stls;
        } else if (arg == "--trust-fingerprint" && has_value) {
            options.fingerprint = platform::normalise_fingerprint(args[++i]);
            if (options.fingerprint.empty()) {
                err << "kivo-diag check: --trust-fingerprint needs the 64 hex digits of a SHA-256\n";
                return false;
            }
        } else if (arg == "--lines" && has_value) {
            if (!parse_number(args[++i], 0, INT_MAX, options.lines)) {
                err << "kivo-diag check: --lines needs a number of 0 or more\n";
                return false;
            }
        } else if (arg == "--timeout" && has_value) {
            if (!parse_number(args[++i], 1, 86400, options.timeout)) {
                err << "kivo-diag check: --timeout needs seconds from 1 to 86400\n";
                return false;
            }
        } else if (arg.rfind("--", 0) == 0) {
            err << "kivo-diag check: unexpected argument '" << arg << "'\n";
            return false;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 3 || !parse_number(positional[1], 1, 65535, options.port)) {
        err << "kivo-diag check: needs HOST PORT USER (the port from 1 to 65535)\n";
        return false;
    }
    options.host = positional[0];
    options.user = positional[2];
    return true;
}

bool read_password(std::string& password)
{
    if (const char* env = std::getenv("KIVO_PASSWORD")) {
        password = env;
        return true;
    }
    if (!std::getline(std::cin, password))
        return false;
    if (!password.empty() && password.back() == '\r')
        password.pop_back();
    return true;
}

// The time-out of a real check: the session re-arms it at every network
// step; when it passes, the stop event ends the session's wait.
class Deadline : public AccountOwner {
public:
    explicit Deadline(std::uint32_t seconds) : limit_ms_(seconds * 1000u) {}

    void schedule_timeout(Account&) override { armed_at_ = platform::tick_count(); }

    void watch(Account& account)
    {
        armed_at_ = platform::tick_count();
        thread_.start([this, &account] {
            while (!done_.wait(100)) {
                if (platform::tick_count() - armed_at_.load() >= limit_ms_) {
                    expired = true;
                    account.stop_event().set();
                    return;
                }
            }
        });
    }
    ~Deadline() override
    {
        done_.set();
        thread_.join(platform::kInfinite);
    }

    std::atomic<bool> expired{false};

private:
    std::uint32_t limit_ms_;
    std::atomic<std::uint32_t> armed_at_{0};
    platform::Event done_;
    platform::Thread thread_;
};

// Keeps every message's LIST number, and deletes nothing: the cycle is
// asked to consider marked messages so that each one passes here with its
// number, and none is marked.
class NumberRecorder : public CheckCycle {
public:
    bool should_delete_marked(Account&) override { return true; }
    bool must_delete(Account&, int number, Message& message) override
    {
        numbers[&message] = number;
        return false;
    }
    void classify(Account&, Message&) override {}
    void carry_flags_over(Account&, MessageList&) override {}

    std::map<const Message*, int> numbers;
};

}  // namespace

int run_check(const Arguments& args, std::ostream& out, std::ostream& err)
{
    CheckOptions options;
    if (!parse_options(args, options, err))
        return 2;
    std::string password;
    if (!read_password(password)) {
        err << "kivo-diag check: no password (set KIVO_PASSWORD or give it on the first line of input)\n";
        return 2;
    }

    app_log().set_capacity(1000000);
    platform::NetworkStartup network;
    Deadline deadline(static_cast<std::uint32_t>(options.timeout));
    NumberRecorder recorder;
    MessageList messages;
    std::string last_error;
    bool ok = false;
    bool pipelined = false;
    platform::TlsPeer peer;
    // The session alone, from the look-up to QUIT's answer: what a benchmark
    // under Wine compares, without the program's start and this output.
    std::int64_t session_us = 0;
    {
        Account account(&deadline);
        account.set_name("kivo-diag");
        account.set_server(Url("pop3", options.user, password, options.host, "/"));
        account.set_port(static_cast<std::int32_t>(options.port));
        account.set_timeout(static_cast<std::int32_t>(options.timeout));
        account.set_secure_auth(options.apop);
        account.set_preview_lines(static_cast<std::int32_t>(options.lines));
        account.set_pipelining(options.pipelining);
        account.set_check_cycle(&recorder);
        account.set_security(options.security);
        account.set_trusted_fingerprint(options.fingerprint);
        deadline.watch(account);

        auto started = std::chrono::steady_clock::now();
        ok = account.lookup() && account.connect_to_server() && account.check_mail(messages);
        if (ok)
            account.disconnect();
        session_us = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started)
                         .count();
        last_error = account.last_error();
        pipelined = account.session_pipelined();
        peer = account.tls_peer();
        if (!ok && last_error.empty() && deadline.expired)
            last_error = "No answer from the mail server for " + std::to_string(options.timeout) + " seconds.";
    }

    for (const std::string& line : app_log().recent_lines())
        err << line;

    JsonObjectWriter json(out);
    json.boolean("ok", ok);
    json.text("last_error", last_error);
    json.boolean("pipelined", pipelined);
    json.number("session_us", session_us);
    if (options.security != Account::Security::none) {
        std::ostringstream tls;
        {
            JsonObjectWriter fields(tls);
            fields.text("protocol", peer.protocol);
            fields.text("cipher", peer.cipher);
            fields.text("subject", peer.subject);
            fields.text("sha256", peer.fingerprint);
        }
        std::string text = tls.str();
        while (!text.empty() && text.back() == '\n')
            text.pop_back();
        json.raw("tls", text);
    }
    std::ostringstream list;
    list << '[';
    for (std::size_t i = 0; i < messages.size(); ++i) {
        std::ostringstream item;
        {
            JsonObjectWriter message(item);
            auto it = recorder.numbers.find(messages[i].get());
            message.number("number", it == recorder.numbers.end() ? -1 : it->second);
            write_message_fields(message, *messages[i]);
        }
        std::string text = item.str();
        while (!text.empty() && text.back() == '\n')
            text.pop_back();
        list << (i ? ", " : "") << text;
    }
    list << ']';
    json.raw("messages", list.str());
    return ok ? 0 : 1;
}

}  // namespace kivo::diag
