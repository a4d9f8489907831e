#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "engine/account_hooks.h"
#include "engine/internet_connection.h"
#include "engine/timed_account.h"
#include "platform/net.h"
#include "platform/sync.h"

namespace kivo {

// Enforces the accounts' time-outs: every network step of a check re-arms
// the account's deadline, and when a deadline passes the time-out thread
// stops that account's thread and starts a fresh one. It also starts every
// account at start-up and is the lock under which accounts are started and
// stopped.
//
// A stopping account thread never waits for this lock: its own calls
// (begin_check, schedule_timeout, end_check) give up as soon as its stop
// event is set, and whoever stopped it clears its schedule entry and its
// share of the Internet connection. So a stopped thread always ends by
// itself, and the kill after the grace stays a last resort.
class ConnectionManager : public AccountOwner {
public:
    using AccountsSource = std::function<std::vector<TimedAccount*>()>;
    // Milliseconds on a clock that does not wrap; tests drive their own.
    using Clock = std::function<std::uint64_t()>;

    static constexpr std::uint32_t kLockWaitMs = 10000;
    static constexpr std::uint32_t kThreadStopWaitMs = 3000;

    ConnectionManager(AccountsSource accounts, std::unique_ptr<platform::DialupApi> dialup,
                      InternetConnection::TypeSource connection_type, Clock clock = {});
    ~ConnectionManager();
    ConnectionManager(const ConnectionManager&) = delete;
    ConnectionManager& operator=(const ConnectionManager&) = delete;

    // Starts the time-out thread, which starts every account's thread.
    bool start();

    // The start/stop lock, waited for at most 10000 ms. An account thread
    // passes its stop event, so a stop request ends the wait at once.
    bool lock(platform::Event* abort = nullptr);
    void unlock();

    // Account thread, around one check.
    bool begin_check(TimedAccount& account);
    void schedule_timeout(TimedAccount& account);
    void end_check(TimedAccount& account);
    // The same, as the account's session calls them.
    bool begin_check(Account& account) override;
    void schedule_timeout(Account& account) override;
    void end_check(Account& account) override;

    // With the lock held: signals the stop, waits for the thread and clears
    // what the stopped check left (its deadline, its Internet connection).
    void stop_account(TimedAccount& account);
    // Under the lock: stop, then start a fresh thread.
    void restart_account(TimedAccount& account);
    // At exit: stop every account, then the time-out thread.
    void stop_all();
    void stop();

    InternetConnection& connection() { return connection_; }
    // Accounts with a running deadline, earliest first (for tests).
    std::vector<TimedAccount*> schedule() const;
    // How many accounts the time-out thread has restarted.
    std::uint64_t timeouts() const;

private:
    void thread_body();
    std::uint32_t next_wait_ms() const;
    // Arms the account's one deadline: time-out seconds from now.
    void set_deadline(TimedAccount& account);
    void remove_deadline_locked(TimedAccount& account);  // schedule_mutex_ held
    void wake();
    void forget(TimedAccount& account);

    // Sockets are started before any session and cleaned up after the last.
    platform::NetworkStartup network_;
    AccountsSource accounts_;
    Clock clock_;
    InternetConnection connection_;
    platform::Event stop_event_{true, false};
    platform::Event wake_event_{true, false};
    // The start/stop lock: an auto-reset event that is set while free, so a
    // wait for it can also wake on a stop event.
    platform::Event lock_{false, true};
    platform::Thread thread_;
    bool started_ = false;

    mutable std::mutex schedule_mutex_;  // guards the two members below
    std::multimap<std::uint64_t, TimedAccount*> schedule_;
    std::set<TimedAccount*> connected_;  // accounts holding a share of the connection
    std::uint64_t timeouts_ = 0;
};

}  // namespace kivo
