#pragma once
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "engine/engine_host.h"
#include "engine/shared_settings.h"

namespace kivo {

// What the window thread does with what account threads asked. The main
// window implements it; every call comes on the window thread, from
// HostBridge::drain.
class HostClient {
public:
    // Lets a long answer (a confirmation dialog) see that the asking thread
    // gave up, so it can close early.
    class Asking {
    public:
        virtual ~Asking() = default;
        virtual bool abandoned() const = 0;
    };

    virtual ~HostClient() = default;
    // The listed account with this serial, or null when it is listed no more.
    virtual Account* find_account(std::uint64_t serial) = 0;
    virtual void account_changed(Account& account) = 0;
    virtual void play_sound(const std::string& file) = 0;
    virtual void run_file(const std::string& file) = 0;
    // Runs the mail client; true when it started.
    virtual bool run_mailer() = 0;
    // Asks the user; true only when the user agreed.
    virtual bool confirm_deletion(Account& account, const Asking& asking) = 0;
};

// The one place where account threads meet the window thread.
//
// Notifications are queued and the window is woken (a posted message; the
// wake function never blocks); account_changed is coalesced per account, so
// a busy account cannot flood the window. Requests that need an answer wait
// for it and for the asking account's stop event together: a stopped
// account never waits for the window, and a stop counts as "no".
//
// Accounts are named by serial, never by address, and the window finds the
// serial in its current list, so a notification that arrives after its
// account was removed is dropped, even if a new account took its address.
class HostBridge : public EngineHost {
public:
    // Asks the window thread to call drain() soon; false when it could not.
    using Wake = std::function<bool()>;

    explicit HostBridge(const SharedSettings& settings);
    ~HostBridge() override;
    HostBridge(const HostBridge&) = delete;
    HostBridge& operator=(const HostBridge&) = delete;

    // Opens the bridge with the window's wake function; an empty one closes
    // it: pending requests are answered "no", notifications are dropped, and
    // new ones are refused until it is opened again.
    void set_wake(Wake wake);

    // ---- any thread (EngineHost)
    void account_changed(Account& account) override;
    void play_sound(const std::string& sound_file) override;
    void run_mailer_if_enabled(Account& account) override;
    bool confirm_deletion(Account& account) override;
    void run_file(const std::string& file) override;
    // A power filter's "run mail client": asks the window on the account's
    // thread and returns when it is done, or when the account is stopped.
    bool request_run_mailer(Account& account);

    // ---- window thread
    // Handles what was queued when it began; may be re-entered from a
    // dialog's own message loop inside one of the client's calls.
    void drain(HostClient& client);
    // Drops everything queued for an account that leaves the list; its
    // waiting requests are answered "no".
    void forget(const Account& account);

    // Queued items (notifications and unanswered requests), for tests.
    std::size_t queued() const;

private:
    enum class Kind { changed, sound, run_file, mailer, confirm };
    struct Request;
    struct Item {
        Kind kind;
        std::uint64_t serial;
        std::string text;
        std::shared_ptr<Request> request;
    };

    void post(Item item);
    bool ask(Kind kind, Account& account);
    void handle(const Item& item, HostClient& client);
    void wake_locked();
    static void answer(Request& request, bool yes);

    const SharedSettings& settings_;
    mutable std::mutex mutex_;  // guards every member below
    Wake wake_;
    bool wake_outstanding_ = false;
    std::deque<Item> items_;
    std::set<std::uint64_t> changed_queued_;  // accounts with a "changed" item in items_
};

}  // namespace kivo
