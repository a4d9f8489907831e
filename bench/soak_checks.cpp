// Soak test of the checking cycle: many accounts with 1-second intervals,
// each check sent to a fake POP3 server picked at random (from a fixed seed)
// among a healthy one and ones with faults. Runs for a while, then prints
// the checks done, the failures by kind, the time-outs, the thread kills and
// the process's descriptors, threads and memory at start and end.
// Exit status 1 when a thread was killed, or descriptors or threads were left
// once every account had stopped.
//
//   soak_checks [--seconds N] [--accounts N] [--seed N] [--warmup N] [--log FILE]
//
// --log writes the engine's log to FILE (an absolute path), to find out what
// a killed thread was doing; it slows every check down.
// Needs the fake server's control port in KIVO_FAKE_POP3_PORT_FILE
// (tools/fake-pop3/fixture.sh starts one; `make soak` does all of it).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/account.h"
#include "engine/checking_cycle.h"
#include "engine/connection_manager.h"
#include "engine/engine_host.h"
#include "log/log.h"
#include "message/message.h"
#include "message_ids.h"
#include "platform/dialup.h"
#include "platform/net.h"
#include "platform/sync.h"
#include "support/fake_pop3.h"

using kivo::Account;

namespace {

constexpr const char* kUser = "soak";
constexpr const char* kPassword = "secret";
constexpr int kKeepers = 4;      // messages that stay on every server
constexpr int kMailboxSize = 8;  // kept topped up with junk, which the filter marks
#ifdef __SANITIZE_THREAD__
constexpr long kSanitizerThreads = 1;  // ThreadSanitizer's own, started with the first thread
#else
constexpr long kSanitizerThreads = 0;
#endif

// One kind of server. Faults stay on a server for its whole life, so the
// randomness is in which server each check goes to.
struct Kind {
    const char* name;
    std::vector<std::string> faults;
    const char* password;  // the one the server expects
    int weight;
};

const std::vector<Kind>& kinds()
{
    static const std::vector<Kind> list = {
        {"healthy", {}, kPassword, 4},
        // Says nothing after the first TOP: only the time-out ends the check.
        {"silence", {"TOP 2:silence"}, kPassword, 1},
        {"close-mid", {"TOP 2:close-mid"}, kPassword, 1},
        {"top-err", {"TOP 1:err"}, kPassword, 1},
        {"dele-err", {"DELE:err"}, kPassword, 1},
        {"wrong-password", {}, "not-the-one", 1},
        {"slow-greeting", {"GREETING:delay=300"}, kPassword, 1},
        // Huge and split apart, not both on one reply: a megabyte sent a
        // byte at a time keeps one check busy for minutes.
        {"huge+split", {"TOP 1:huge", "LIST:split"}, kPassword, 1},
    };
    return list;
}

std::string mail(int id, bool junk)
{
    std::string text = "From: sender" + std::to_string(id) + "@example.com\r\nSubject: " +
                       (junk ? "junk offer " : "report ") + std::to_string(id) + "\r\nMessage-ID: <" +
                       std::to_string(id) + "@soak.example.com>\r\n\r\n";
    for (int line = 0; line < 20; ++line)
        text += "Line " + std::to_string(line) + " of the body, long enough to look like text.\r\n";
    return text;
}

// ---- the process's own figures (Linux)

struct Figures {
    long descriptors = 0;
    long threads = 0;
    long rss_kb = 0;
    long hwm_kb = 0;
};

Figures figures()
{
    Figures f;
    std::error_code error;
    for (auto it = std::filesystem::directory_iterator("/proc/self/fd", error);
         !error && it != std::filesystem::directory_iterator(); it.increment(error))
        ++f.descriptors;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        auto field = [&](const char* name, long& out) {
            std::size_t n = std::strlen(name);
            if (line.compare(0, n, name) == 0)
                out = std::strtol(line.c_str() + n, nullptr, 10);
        };
        field("VmRSS:", f.rss_kb);
        field("VmHWM:", f.hwm_kb);
        field("Threads:", f.threads);
    }
    return f;
}

// ---- the host: counts what the engine reports, and points each check at
// a server picked for it

struct Outcomes {
    long checks = 0, ok = 0, failed = 0, stopped = 0;
};

class SoakHost : public kivo::EngineHost {
public:
    SoakHost(std::vector<std::uint16_t> ports, std::uint32_t seed) : ports_(std::move(ports)), seed_(seed)
    {
        for (const Kind& k : kinds()) {
            if (std::strcmp(k.name, "huge+split") == 0)
                huge_ = static_cast<int>(weights_.size());
            weights_.push_back(k.weight);
        }
    }

    // Called on the account's own thread, so the port can be changed here,
    // when a check announces itself, for the connection that follows.
    void account_changed(Account& account) override
    {
        std::lock_guard<std::mutex> guard(mutex_);
        PerAccount& a = per_account(account);
        switch (account.state()) {
        case kivo::MSG_STATE_CONNECTING: {
            if (!a.started) {
                a.started = true;  // the first thread's start, not a check
                return;
            }
            if (a.open)
                ++by_kind_[a.kind].stopped;  // the previous check never ended: a time-out stopped it
            std::discrete_distribution<int> pick(weights_.begin(), weights_.end());
            // The first check gets the huge reply, so every receive buffer has
            // its full size before the warm-up figures are taken.
            a.kind = a.checks++ == 0 ? huge_ : pick(a.random);
            a.open = true;
            ++by_kind_[a.kind].checks;
            account.set_port(ports_[static_cast<std::size_t>(a.kind)]);
            // The looked-up address holds the port: look it up again.
            account.set_resolved(false);
            return;
        }
        case kivo::MSG_STATE_SLEEPING:
            if (a.open)
                ++by_kind_[a.kind].ok;
            a.open = false;
            return;
        case kivo::MSG_STATE_FAILED: {
            if (a.open)
                ++by_kind_[a.kind].failed;
            std::string text = account.last_error().empty() ? "(no error text)" : normalise(account.last_error());
            ++failures_[(a.open ? "" : "(no check started) ") + text];
            a.open = false;
            return;
        }
        default:
            return;
        }
    }
    void play_sound(const std::string&) override { ++sounds_; }
    void run_mailer_if_enabled(kivo::Account&) override {}
    bool confirm_deletion(Account&) override
    {
        ++confirmations_;
        return true;
    }
    void run_file(const std::string&) override {}

    std::vector<Outcomes> by_kind()
    {
        std::lock_guard<std::mutex> guard(mutex_);
        return by_kind_;
    }
    std::map<std::string, long> failures()
    {
        std::lock_guard<std::mutex> guard(mutex_);
        return failures_;
    }
    // Checks still running when the accounts were stopped at the end.
    long unfinished()
    {
        std::lock_guard<std::mutex> guard(mutex_);
        long n = 0;
        for (const auto& [account, a] : accounts_)
            n += a.open ? 1 : 0;
        return n;
    }
    long sounds() const { return sounds_; }
    long confirmations() const { return confirmations_; }

private:
    struct PerAccount {
        std::mt19937 random;
        int kind = 0;
        bool open = false;
        bool started = false;
        long checks = 0;
    };

    PerAccount& per_account(Account& account)
    {
        auto it = accounts_.find(&account);
        if (it == accounts_.end()) {
            // Seeded by the account's name, so each account's sequence of
            // servers is the same from run to run whatever the timing.
            std::seed_seq seq(account.name().begin(), account.name().end());
            std::uint32_t first = 0;
            seq.generate(&first, &first + 1);
            it = accounts_.emplace(&account, PerAccount{std::mt19937(first ^ seed_), 0, false, false, 0}).first;
        }
        return it->second;
    }

    // Error texts with their numbers (ports, lines, codes) folded, so they
    // group by kind.
    static std::string normalise(const std::string& text)
    {
        std::string out;
        for (char c : text) {
            if (c >= '0' && c <= '9') {
                if (out.empty() || out.back() != '#')
                    out += '#';
            } else if (c == '\r' || c == '\n') {
                out += ' ';
            } else {
                out += c;
            }
        }
        return out.size() > 72 ? out.substr(0, 72) + "..." : out;
    }

    std::mutex mutex_;
    std::vector<std::uint16_t> ports_;
    std::uint32_t seed_;
    std::vector<double> weights_;
    int huge_ = 0;
    std::map<Account*, PerAccount> accounts_;
    std::vector<Outcomes> by_kind_ = std::vector<Outcomes>(kinds().size());
    std::map<std::string, long> failures_;
    std::atomic<long> sounds_{0};
    std::atomic<long> confirmations_{0};
};

struct NoModem : kivo::platform::DialupApi {
    bool usable() const override { return false; }
    bool connected_state(std::uint32_t&) override { return true; }
    bool autodial() override { return false; }
    bool hangup() override { return false; }
};

Outcomes total(const std::vector<Outcomes>& list)
{
    Outcomes t;
    for (const Outcomes& o : list) {
        t.checks += o.checks;
        t.ok += o.ok;
        t.failed += o.failed;
        t.stopped += o.stopped;
    }
    return t;
}

int usage()
{
    std::fprintf(stderr, "usage: soak_checks [--seconds N] [--accounts N] [--seed N] [--warmup N] [--log FILE]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    long seconds = 600, accounts_wanted = 50, warmup = 10;
    std::uint32_t seed = 1;
    std::string log_file;
    for (int i = 1; i < argc; ++i) {
        if (i + 1 >= argc)
            return usage();
        long value = std::strtol(argv[i + 1], nullptr, 10);
        if (std::strcmp(argv[i], "--seconds") == 0)
            seconds = value;
        else if (std::strcmp(argv[i], "--accounts") == 0)
            accounts_wanted = value;
        else if (std::strcmp(argv[i], "--seed") == 0)
            seed = static_cast<std::uint32_t>(value);
        else if (std::strcmp(argv[i], "--warmup") == 0)
            warmup = value;
        else if (std::strcmp(argv[i], "--log") == 0)
            log_file = argv[i + 1];
        else
            return usage();
        ++i;
    }
    if (seconds <= 0 || accounts_wanted <= 0 || warmup < 0 || warmup >= seconds)
        return usage();

    if (!log_file.empty()) {
        kivo::app_log().set_log_file(log_file);
        kivo::app_log().set_write_to_file(true);
    }
    kivo::platform::NetworkStartup network;
    std::vector<std::unique_ptr<kivo::test::FakePop3>> servers;
    std::vector<std::uint16_t> ports;
    int next_id = 1;
    try {
        std::vector<std::string> mailbox;
        for (int n = 0; n < kMailboxSize; ++n, ++next_id)
            mailbox.push_back(mail(next_id, n >= kKeepers));
        for (const Kind& kind : kinds()) {
            auto server = std::make_unique<kivo::test::FakePop3>();
            server->add_user(kUser, kind.password);
            for (const std::string& fault : kind.faults)
                server->add_fault(fault);
            // The same messages everywhere, so marks carry over whichever
            // server the next check goes to, and DELE happens on all of them.
            for (const std::string& text : mailbox)
                server->add_message(text);
            ports.push_back(server->start());
            servers.push_back(std::move(server));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "soak_checks: %s\n", e.what());
        return 2;
    }

    SoakHost host(ports, seed);
    kivo::CheckingCycle cycle(&host, [](Account&, kivo::Message& m) {
        if (m.subject().find("junk") != std::string::npos)
            m.mark_deleted();
    });
    std::vector<std::unique_ptr<Account>> accounts;
    kivo::ConnectionManager manager(
        [&accounts] {
            std::vector<kivo::TimedAccount*> list;
            for (auto& a : accounts)
                list.push_back(a.get());
            return list;
        },
        std::make_unique<NoModem>(), [] { return kivo::ConnectionType::lan; });
    for (long i = 0; i < accounts_wanted; ++i) {
        auto account = std::make_unique<Account>(&manager);
        account->set_name("soak" + std::to_string(i));
        account->set_server(kivo::Url("pop3", kUser, kPassword, "127.0.0.1", "/"));
        account->set_port(ports[0]);
        account->set_check_interval(1);
        account->set_timeout(i % 2 == 0 ? 1 : 2);
        // Every fifth account asks before deleting (the host agrees), which
        // also re-arms the time-out in the middle of a check.
        account->set_deletion_mode(i % 5 == 4 ? kivo::MSG_DELETION_CONFIRM : kivo::MSG_DELETION_AUTOMATIC);
        account->set_check_cycle(&cycle);
        account->set_host(&host);
        accounts.push_back(std::move(account));
    }

    const std::uint64_t kills_before = kivo::platform::Thread::kill_count();
    const Figures idle_before = figures();
    std::printf("soak: %ld accounts, 1 s interval, time-outs 1-2 s, %ld s, seed %u, %zu server kinds:", accounts_wanted,
                seconds, seed, kinds().size());
    for (const Kind& k : kinds())
        std::printf(" %s(%d)", k.name, k.weight);
    std::printf("\n");
    std::fflush(stdout);

    if (!manager.start()) {
        std::fprintf(stderr, "soak_checks: the connection manager did not start\n");
        return 2;
    }
    const auto began = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count(); };
    Figures warm, half;
    bool have_warm = false, have_half = false;
    long replenished = 0;
    long next_report = 60;
    while (elapsed() < static_cast<double>(seconds)) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        // Top the junk up again where DELE took it.
        try {
            for (auto& server : servers)
                for (std::size_t n = server->message_count(); n < static_cast<std::size_t>(kMailboxSize); ++n) {
                    server->add_message(mail(next_id++, true));
                    ++replenished;
                }
        } catch (const std::exception& e) {
            std::fprintf(stderr, "soak_checks: %s\n", e.what());
            break;
        }
        double now = elapsed();
        if (!have_warm && now >= static_cast<double>(warmup)) {
            warm = figures();
            have_warm = true;
        }
        if (!have_half && now >= static_cast<double>(seconds) / 2) {
            half = figures();
            have_half = true;
        }
        if (now >= static_cast<double>(next_report)) {
            Outcomes t = total(host.by_kind());
            Figures f = figures();
            std::printf("[%4.0f s] checks %ld ok %ld failed %ld stopped %ld time-outs %llu kills %llu | fds %ld threads "
                        "%ld rss %ld kB\n",
                        now, t.checks, t.ok, t.failed, t.stopped, static_cast<unsigned long long>(manager.timeouts()),
                        static_cast<unsigned long long>(kivo::platform::Thread::kill_count() - kills_before),
                        f.descriptors, f.threads, f.rss_kb);
            std::fflush(stdout);
            next_report += 60;
        }
    }
    const Figures end_running = figures();
    const double ran = elapsed();
    const std::uint64_t timeouts = manager.timeouts();

    auto stop_began = std::chrono::steady_clock::now();
    manager.stop_all();
    manager.stop();
    const double stop_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - stop_began).count();
    const std::uint64_t kills = kivo::platform::Thread::kill_count() - kills_before;
    std::size_t buffers = 0;
    for (const auto& a : accounts)
        buffers += a->receive_buffer_capacity();
    const Figures idle_after = figures();

    // ---- report
    std::vector<Outcomes> by_kind = host.by_kind();
    Outcomes t = total(by_kind);
    long unfinished = host.unfinished();
    std::printf("\nran %.0f s; stopping every account took %.2f s\n", ran, stop_seconds);
    std::printf("checks done          %8ld  (%.1f per second)\n", t.ok + t.failed + t.stopped,
                static_cast<double>(t.ok + t.failed + t.stopped) / ran);
    std::printf("  successful         %8ld\n", t.ok);
    std::printf("  failed             %8ld\n", t.failed);
    std::printf("  stopped (time-out) %8ld\n", t.stopped);
    std::printf("  running at the end %8ld\n", unfinished);
    std::printf("time-outs (manager)  %8llu\n", static_cast<unsigned long long>(timeouts));
    std::printf("kills                %8llu\n", static_cast<unsigned long long>(kills));
    std::printf("deletions asked      %8ld   sounds %ld   junk replenished %ld\n", host.confirmations(), host.sounds(),
                replenished);

    std::printf("\nby server            checks       ok   failed  stopped     DELE\n");
    for (std::size_t k = 0; k < by_kind.size(); ++k) {
        long deles = 0;
        try {
            for (const std::string& c : servers[k]->commands())
                deles += c.rfind("DELE ", 0) == 0 ? 1 : 0;
        } catch (const std::exception&) {
            deles = -1;
        }
        std::printf("  %-16s %8ld %8ld %8ld %8ld %8ld\n", kinds()[k].name, by_kind[k].checks, by_kind[k].ok,
                    by_kind[k].failed, by_kind[k].stopped, deles);
    }

    std::printf("\nfailures by kind (last error)\n");
    std::vector<std::pair<long, std::string>> failures;
    for (const auto& [text, count] : host.failures())
        failures.emplace_back(count, text);
    std::sort(failures.rbegin(), failures.rend());
    for (const auto& [count, text] : failures)
        std::printf("  %8ld  %s\n", count, text.c_str());

    std::printf("\n                     before   warm-up(%lds)  half-way      end   after stop\n", warmup);
    std::printf("descriptors        %8ld   %10ld  %9ld %8ld   %8ld\n", idle_before.descriptors, warm.descriptors,
                half.descriptors, end_running.descriptors, idle_after.descriptors);
    std::printf("threads            %8ld   %10ld  %9ld %8ld   %8ld\n", idle_before.threads, warm.threads, half.threads,
                end_running.threads, idle_after.threads);
    std::printf("RSS kB             %8ld   %10ld  %9ld %8ld   %8ld\n", idle_before.rss_kb, warm.rss_kb, half.rss_kb,
                end_running.rss_kb, idle_after.rss_kb);
    std::printf("peak RSS kB        %8ld   %10ld  %9ld %8ld   %8ld\n", idle_before.hwm_kb, warm.hwm_kb, half.hwm_kb,
                end_running.hwm_kb, idle_after.hwm_kb);
    std::printf("receive buffers    %zu kB in all at the end (they keep the size of the largest reply)\n",
                buffers / 1024);
    std::printf("RSS growth: warm-up to end %+ld kB, half-way to end %+ld kB\n", end_running.rss_kb - warm.rss_kb,
                end_running.rss_kb - half.rss_kb);

    bool descriptors_grew = idle_after.descriptors > idle_before.descriptors;
    bool threads_left = idle_after.threads > idle_before.threads + kSanitizerThreads;
    std::printf("\n%s: kills %llu, descriptors %ld before and %ld after stop, threads %ld before and %ld after\n",
                kills == 0 && !descriptors_grew && !threads_left ? "PASS" : "FAIL",
                static_cast<unsigned long long>(kills), idle_before.descriptors, idle_after.descriptors,
                idle_before.threads, idle_after.threads);
    std::fflush(stdout);
    accounts.clear();
    return kills == 0 && !descriptors_grew && !threads_left ? 0 : 1;
}
