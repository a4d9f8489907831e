#include "engine/connection_manager.h"

#include "engine/account.h"
#include "log/log.h"
#include "platform/clock.h"

namespace kivo {
namespace {

// The 32-bit tick count, extended so deadlines never wrap.
std::uint64_t monotonic_ms()
{
    static std::mutex mutex;
    static std::uint32_t last = platform::tick_count();
    static std::uint64_t high = 0;
    std::lock_guard<std::mutex> guard(mutex);
    std::uint32_t now = platform::tick_count();
    if (now < last)
        high += 1ull << 32;
    last = now;
    return high | now;
}

}  // namespace

ConnectionManager::ConnectionManager(AccountsSource accounts, std::unique_ptr<platform::DialupApi> dialup,
                                     InternetConnection::TypeSource connection_type, Clock clock)
    : accounts_(std::move(accounts)),
      clock_(clock ? std::move(clock) : Clock(monotonic_ms)),
      connection_(std::move(dialup), std::move(connection_type))
{
}

ConnectionManager::~ConnectionManager()
{
    if (started_)
        stop();
}

bool ConnectionManager::start()
{
    if (started_)
        return false;
    stop_event_.reset();
    started_ = thread_.start([this] { thread_body(); });
    return started_;
}

bool ConnectionManager::lock(platform::Event* abort)
{
    if (abort)
        return platform::wait_any({&lock_, abort}, kLockWaitMs) == 0;
    return lock_.wait(kLockWaitMs);
}

void ConnectionManager::unlock() { lock_.set(); }

void ConnectionManager::wake() { wake_event_.set(); }

void ConnectionManager::remove_deadline_locked(TimedAccount& account)
{
    for (auto it = schedule_.begin(); it != schedule_.end(); ++it)
        if (it->second == &account) {
            schedule_.erase(it);
            return;
        }
}

void ConnectionManager::set_deadline(TimedAccount& account)
{
    std::int32_t seconds = account.timeout_seconds();
    std::uint64_t deadline = clock_() + static_cast<std::uint64_t>(seconds > 0 ? seconds : 0) * 1000u;
    std::lock_guard<std::mutex> guard(schedule_mutex_);
    remove_deadline_locked(account);
    schedule_.emplace(deadline, &account);  // equal deadlines keep insertion order
}

bool ConnectionManager::begin_check(TimedAccount& account)
{
    if (!connection_.connect())
        return false;
    if (!lock(&account.stop_event())) {
        connection_.release();  // otherwise the use would stay counted for ever
        return false;
    }
    set_deadline(account);
    {
        std::lock_guard<std::mutex> guard(schedule_mutex_);
        connected_.insert(&account);
    }
    wake();
    unlock();
    return true;
}

void ConnectionManager::schedule_timeout(TimedAccount& account)
{
    if (!lock(&account.stop_event()))
        return;
    set_deadline(account);
    wake();
    unlock();
}

void ConnectionManager::end_check(TimedAccount& account)
{
    // A stopped account leaves this to whoever stopped it.
    if (!lock(&account.stop_event()))
        return;
    forget(account);
    wake();
    unlock();
}

bool ConnectionManager::begin_check(Account& account) { return begin_check(static_cast<TimedAccount&>(account)); }
void ConnectionManager::schedule_timeout(Account& account) { schedule_timeout(static_cast<TimedAccount&>(account)); }
void ConnectionManager::end_check(Account& account) { end_check(static_cast<TimedAccount&>(account)); }

void ConnectionManager::forget(TimedAccount& account)
{
    bool held = false;
    {
        std::lock_guard<std::mutex> guard(schedule_mutex_);
        remove_deadline_locked(account);
        held = connected_.erase(&account) == 1;
    }
    if (held)
        connection_.release();
}

void ConnectionManager::stop_account(TimedAccount& account)
{
    account.signal_stop();
    account.wait_thread();
    forget(account);
    wake();
}

void ConnectionManager::restart_account(TimedAccount& account)
{
    if (!lock())
        return;
    stop_account(account);
    account.start_thread();
    unlock();
}

void ConnectionManager::stop_all()
{
    // Under the lock, so a time-out being handled finishes first and no
    // account is stopped by two threads at once. The stops go ahead even if
    // the lock cannot be had: the program is ending.
    bool locked = lock();
    std::vector<TimedAccount*> accounts = accounts_ ? accounts_() : std::vector<TimedAccount*>{};
    for (TimedAccount* account : accounts)
        account->signal_stop();
    for (TimedAccount* account : accounts) {
        account->wait_thread();
        forget(*account);
    }
    stop_event_.set();
    if (locked)
        unlock();
}

void ConnectionManager::stop()
{
    stop_event_.set();
    if (!thread_.join(kThreadStopWaitMs)) {
        app_log().write_line("Time-out thread did not end; terminating it.\n");
        thread_.kill();
    }
    started_ = false;
}

std::vector<TimedAccount*> ConnectionManager::schedule() const
{
    std::lock_guard<std::mutex> guard(schedule_mutex_);
    std::vector<TimedAccount*> out;
    for (const auto& [deadline, account] : schedule_)
        out.push_back(account);
    return out;
}

std::uint64_t ConnectionManager::timeouts() const
{
    std::lock_guard<std::mutex> guard(schedule_mutex_);
    return timeouts_;
}

std::uint32_t ConnectionManager::next_wait_ms() const
{
    std::lock_guard<std::mutex> guard(schedule_mutex_);
    if (schedule_.empty())
        return platform::kInfinite;
    std::uint64_t now = clock_();
    std::uint64_t deadline = schedule_.begin()->first;
    if (deadline <= now)
        return 1;  // already passed: look again at once
    std::uint64_t wait = deadline - now;
    return wait >= platform::kInfinite ? platform::kInfinite - 1 : static_cast<std::uint32_t>(wait);
}

void ConnectionManager::thread_body()
{
    if (lock(&stop_event_)) {
        for (TimedAccount* account : accounts_ ? accounts_() : std::vector<TimedAccount*>{})
            account->start_thread();  // disabled accounts refuse
        unlock();
    }
    for (;;) {
        int which = platform::wait_any({&stop_event_, &wake_event_}, next_wait_ms());
        if (which == 0)
            return;
        if (which == 1) {
            wake_event_.reset();
            continue;
        }
        if (!lock(&stop_event_))
            continue;
        TimedAccount* due = nullptr;
        {
            std::lock_guard<std::mutex> guard(schedule_mutex_);
            auto first = schedule_.begin();
            if (first != schedule_.end() && first->first <= clock_()) {
                due = first->second;
                schedule_.erase(first);
                ++timeouts_;
            }
        }
        if (due) {
            app_log().write_line("Time-out: account=%s\n", due->account_name().c_str());
            stop_account(*due);
            // Still under the lock, so an exit that began meanwhile never
            // sees a thread started behind its back.
            if (!stop_event_.is_set())
                due->start_thread();
        }
        unlock();
    }
}

}  // namespace kivo
