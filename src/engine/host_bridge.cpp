#include "engine/host_bridge.h"

#include <algorithm>
#include <exception>
#include <iterator>

#include "engine/account.h"
#include "log/log.h"
#include "platform/sync.h"

namespace kivo {

struct HostBridge::Request : HostClient::Asking {
    platform::Event done{true, false};
    std::atomic<bool> yes{false};
    std::atomic<bool> gave_up{false};
    bool abandoned() const override { return gave_up.load(); }
};

HostBridge::HostBridge(const SharedSettings& settings) : settings_(settings) {}

HostBridge::~HostBridge() { set_wake({}); }

void HostBridge::answer(Request& request, bool yes)
{
    request.yes.store(yes);
    request.done.set();
}

void HostBridge::set_wake(Wake wake)
{
    std::deque<Item> dropped;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        wake_ = std::move(wake);
        wake_outstanding_ = false;
        if (!wake_) {
            dropped.swap(items_);
            changed_queued_.clear();
        } else if (!items_.empty()) {
            wake_locked();
        }
    }
    for (const Item& item : dropped)
        if (item.request)
            answer(*item.request, false);
}

void HostBridge::wake_locked()
{
    // One wake at a time: the drain it causes takes everything queued by then.
    if (!wake_outstanding_ && wake_)
        wake_outstanding_ = wake_();
}

void HostBridge::post(Item item)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!wake_)
        return;
    if (item.kind == Kind::changed && !changed_queued_.insert(item.serial).second)
        return;  // already queued: the window reads the account's state when it gets there
    items_.push_back(std::move(item));
    wake_locked();
}

bool HostBridge::ask(Kind kind, Account& account)
{
    platform::Event& stop = account.stop_event();
    if (stop.is_set())
        return false;
    auto request = std::make_shared<Request>();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!wake_)
            return false;
        items_.push_back(Item{kind, account.serial(), {}, request});
        wake_locked();
    }
    if (platform::wait_any({&request->done, &stop}, platform::kInfinite) == 0)
        return request->yes.load();
    // Stopped: whatever the window decides now reaches nobody.
    request->gave_up.store(true);
    std::lock_guard<std::mutex> lock(mutex_);
    items_.erase(std::remove_if(items_.begin(), items_.end(),
                                [&](const Item& item) { return item.request == request; }),
                 items_.end());
    return false;
}

void HostBridge::account_changed(Account& account) { post(Item{Kind::changed, account.serial(), {}, nullptr}); }

void HostBridge::play_sound(const std::string& sound_file)
{
    post(Item{Kind::sound, 0, sound_file, nullptr});
}

void HostBridge::run_file(const std::string& file) { post(Item{Kind::run_file, 0, file, nullptr}); }

void HostBridge::run_mailer_if_enabled(Account& account)
{
    if (!settings_.run_mailer_after_new_mail.load())
        return;
    app_log().write_line("Send RUN MAILER command.\n");
    ask(Kind::mailer, account);
}

bool HostBridge::request_run_mailer(Account& account) { return ask(Kind::mailer, account); }

bool HostBridge::confirm_deletion(Account& account) { return ask(Kind::confirm, account); }

void HostBridge::drain(HostClient& client)
{
    std::size_t budget = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        wake_outstanding_ = false;
        // Only what is queued now: what comes meanwhile brings its own wake,
        // so a steady stream cannot keep the window here for ever.
        budget = items_.size();
    }
    for (; budget > 0; --budget) {
        Item item;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (items_.empty())
                return;  // a nested drain took the rest
            item = std::move(items_.front());
            items_.pop_front();
            if (item.kind == Kind::changed)
                changed_queued_.erase(item.serial);
        }
        handle(item, client);
    }
}

void HostBridge::handle(const Item& item, HostClient& client)
{
    if (!item.request) {
        switch (item.kind) {
        case Kind::changed:
            if (Account* account = client.find_account(item.serial))
                client.account_changed(*account);
            break;
        case Kind::sound:
            client.play_sound(item.text);
            break;
        case Kind::run_file:
            client.run_file(item.text);
            break;
        default:
            break;
        }
        return;
    }

    Request& request = *item.request;
    if (request.abandoned()) {
        answer(request, false);
        return;
    }
    bool yes = false;
    try {
        if (item.kind == Kind::mailer) {
            yes = client.run_mailer();
        } else if (Account* account = client.find_account(item.serial)) {
            yes = client.confirm_deletion(*account, request);
        }
    } catch (...) {
        // The asker must not wait for an answer that will never come.
        answer(request, false);
        throw;
    }
    answer(request, yes);
}

void HostBridge::forget(const Account& account)
{
    std::deque<Item> dropped;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto gone = std::stable_partition(items_.begin(), items_.end(),
                                          [&](const Item& item) { return item.serial != account.serial(); });
        std::move(gone, items_.end(), std::back_inserter(dropped));
        items_.erase(gone, items_.end());
        changed_queued_.erase(account.serial());
    }
    for (const Item& item : dropped)
        if (item.request)
            answer(*item.request, false);
}

std::size_t HostBridge::queued() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return items_.size();
}

}  // namespace kivo
