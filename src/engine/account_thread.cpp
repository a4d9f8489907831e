// The account's checking thread: a check at once, then one every interval
// measured from the start of the previous check, until the stop event.
#include <ctime>
#include <exception>

#include "engine/account.h"
#include "engine/engine_host.h"
#include "log/log.h"
#include "message/message.h"
#include "platform/clock.h"

namespace kivo {

bool Account::start_thread()
{
    if (thread_held_ || state() == MSG_STATE_DISABLED)
        return false;
    stop_event_.reset();
    socket_event_.reset();
    thread_held_ = thread_.start([this] { account_thread_core(); });
    return thread_held_;
}

void Account::signal_stop() { stop_event_.set(); }

bool Account::wait_thread()
{
    if (!thread_held_)
        return false;
    if (!thread_.join(kThreadGraceMs)) {
        // Last resort: every wait of the thread also wakes on the stop event,
        // so this is reached only when something outside the engine hangs.
        app_log().write_line("Account thread did not stop: account=%s; terminating it.\n", name_.c_str());
        thread_.kill();
    }
    thread_held_ = false;
    return true;
}

std::uint32_t Account::pause_after(std::int32_t interval_seconds, std::uint32_t t1, std::uint32_t t2)
{
    std::uint32_t elapsed = t2 - t1;  // modulo 2^32: the tick count may wrap during a check
    std::uint64_t interval_ms = interval_seconds > 0 ? static_cast<std::uint64_t>(interval_seconds) * 1000u : 0;
    if (interval_ms <= elapsed)
        return 0;
    std::uint64_t pause = interval_ms - elapsed;
    return pause >= platform::kInfinite ? platform::kInfinite - 1 : static_cast<std::uint32_t>(pause);
}

void Account::account_thread_core()
{
    try {
        if (state() == MSG_STATE_NOT_STARTED) {
            set_state(MSG_STATE_CONNECTING);
            if (host_)
                host_->account_changed(*this);
        }
        for (;;) {
            if (stop_event_.wait(1))
                return;
            std::uint32_t t1 = platform::tick_count();
            if (state() == MSG_STATE_CONNECTING) {
                if (!owner_ || owner_->begin_check(*this)) {
                    bool checked = check_once();
                    if (owner_)
                        owner_->end_check(*this);
                    if (checked)
                        fire_deferred_actions();
                    drop_deferred_actions();
                } else {
                    set_state(MSG_STATE_FAILED);
                    if (host_)
                        host_->account_changed(*this);
                }
            }
            std::uint32_t t2 = platform::tick_count();
            if (stop_event_.wait(pause_after(check_interval_, t1, t2)))
                return;
            set_state(MSG_STATE_CONNECTING);  // silently: the check tells the window itself
        }
    } catch (...) {
        app_log().write_line("Error in Account::account_thread_core.\n");
        if (!name_.empty())
            app_log().write_line("AccountName = %s\n", name_.c_str());
    }
}

bool Account::check_once()
{
    auto fail = [this] {
        resolved_ = false;  // any failure makes the next check look the name up again
        // A stopped check leaves the state as it was and does not call the
        // window, which may be the one waiting for this thread to end.
        if (stop_event_.is_set())
            return false;
        set_state(MSG_STATE_FAILED);
        if (host_)
            host_->account_changed(*this);
        return false;
    };

    set_last_check(std::time(nullptr));
    set_state(MSG_STATE_CONNECTING);
    if (host_)
        host_->account_changed(*this);

    if (!resolved_) {
        if (!lookup())
            return fail();
        resolved_ = true;
    }
    if (!connect_to_server())
        return fail();

    set_state(MSG_STATE_CHECKING);
    if (host_)
        host_->account_changed(*this);

    MessageList fresh;
    if (!check_mail(fresh)) {
        close_socket();
        return fail();  // the previous list, counts and flags stay
    }
    disconnect();

    int unseen = 0;
    std::int64_t mailbox_size = 0;
    list_lock_.acquire(platform::kInfinite);
    messages_.swap(fresh);
    for (const auto& message : messages_) {
        if (!message->seen())
            ++unseen;
        mailbox_size += message->size();
    }
    set_new_messages(unseen);
    set_total_messages(static_cast<std::int32_t>(messages_.size()));
    list_lock_.release();
    fresh.clear();  // the old records; a list view may still share them

    set_state(MSG_STATE_SLEEPING);
    if (host_)
        host_->account_changed(*this);

    if (check_mailbox_size_ && mailbox_size > mailbox_bound_ && !launch_file_.empty() && host_)
        host_->run_file(launch_file_);

    if (unseen != 0 && host_) {
        host_->play_sound(sound_file_);
        host_->run_mailer_if_enabled(*this);
    }
    set_last_check(std::time(nullptr));
    return true;
}

bool Account::lock_list()
{
    if (lock_depth_ > 0) {
        ++lock_depth_;
        return true;
    }
    if (!list_lock_.acquire(kListLockWaitMs))
        return false;
    lock_depth_ = 1;
    return true;
}

void Account::unlock_list()
{
    if (lock_depth_ <= 0)
        return;  // an unlock without a lock must not free the account thread's hold
    if (--lock_depth_ == 0)
        list_lock_.release();
}

void Account::mark_all_seen()
{
    for (const auto& message : messages_)
        message->set_seen();
}

int Account::count_marked() const
{
    int marked = 0;
    for (const auto& message : messages_)
        if (message->deleted())
            ++marked;
    return marked;
}

bool Account::first_seen(const Message& message) const
{
    return find_by_key(message.key()) == nullptr;
}

std::size_t Account::fire_deferred_actions()
{
    std::vector<std::function<void()>> actions;
    actions.swap(deferred_actions_);
    std::size_t fired = 0;
    for (const auto& action : actions) {
        if (stop_event_.is_set())
            break;
        action();
        ++fired;
    }
    return fired;
}

std::shared_ptr<Message> Account::find_by_key(std::uint32_t key) const
{
    for (const auto& message : messages_)
        if (message->key() == key)
            return message;
    return nullptr;
}

}  // namespace kivo
