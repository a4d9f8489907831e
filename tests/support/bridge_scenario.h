#pragma once
// Real account threads against the fake POP3 server, all talking to a
// "window" through the HostBridge, while the window thread stops, restarts,
// removes and re-adds accounts and finally stops everything. The window
// thread is played by a WindowThread: natively a loop that drains on an
// event, on Windows a real window with its message loop.
#include <doctest/doctest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "engine/account.h"
#include "engine/checking_cycle.h"
#include "engine/connection_manager.h"
#include "engine/host_bridge.h"
#include "message/message.h"
#include "message_ids.h"
#include "platform/sync.h"
#include "support/fake_modem.h"
#include "support/fake_pop3.h"

namespace kivo::test {

class WindowThread {
public:
    virtual ~WindowThread() = default;
    // Delivers what the bridge wakes the window for, for about `ms`.
    virtual void pump(std::uint32_t ms) = 0;
};

class BridgeScenario : public HostClient {
public:
    static constexpr int kAccounts = 20;
    static constexpr int kRounds = 16;

    struct Counts {
        int changes = 0;
        int mailers = 0;
        int confirmations = 0;
        int stale = 0;  // calls about an account that had been removed
        int removed = 0;
        int added = 0;
    };

    BridgeScenario()
    {
        settings.run_mailer_after_new_mail = true;
        for (int i = 0; i < kAccounts + kRounds; ++i)
            server_.add_user("user" + std::to_string(i), "secret");
        for (int i = 0; i < 3; ++i)
            server_.add_message("From: ann@example.com\r\nSubject: hello " + std::to_string(i) +
                                "\r\nMessage-ID: <" + std::to_string(i) + "@x>\r\n\r\nbody\r\n");
        confirm_server_.add_user("keeper", "secret");
        confirm_server_.add_message("From: spam@example.com\r\nSubject: offer\r\nMessage-ID: <s@x>\r\n\r\nbuy\r\n");
        port_ = server_.start();
        confirm_port_ = confirm_server_.start();
    }

    ~BridgeScenario() override
    {
        manager_.stop_all();
        manager_.stop();
        bridge.set_wake({});
    }

    // The whole run; the window thread calls it.
    Counts run(WindowThread& window)
    {
        window_ = &window;
        {
            std::lock_guard<std::mutex> lock(list_mutex_);
            accounts_.push_back(make_account("keeper", confirm_port_, MSG_DELETION_CONFIRM));
            for (int i = 0; i < kAccounts - 1; ++i)
                accounts_.push_back(make_account("user" + std::to_string(i), port_, MSG_DELETION_NEVER));
        }
        REQUIRE(manager_.start());
        int next_user = kAccounts - 1;
        for (int round = 0; round < kRounds; ++round) {
            window.pump(350);
            switch (round % 4) {
            case 0:  // restart an ordinary account
                manager_.restart_account(*pick(1 + round));
                break;
            case 1:  // remove one
                remove(pick(2 + round));
                break;
            case 2:  // add one
                add(make_account("user" + std::to_string(next_user++), port_, MSG_DELETION_NEVER));
                break;
            case 3:  // restart the one whose confirmation may be waiting
                manager_.restart_account(*pick(0));
                break;
            }
        }
        window.pump(500);
        manager_.stop_all();
        manager_.stop();
        window.pump(100);  // anything still queued must not reach a removed account
        window_ = nullptr;
        return counts_;
    }

    SharedSettings settings;
    HostBridge bridge{settings};

private:
    // ---- HostClient (window thread)
    Account* find_account(std::uint64_t serial) override
    {
        std::lock_guard<std::mutex> lock(list_mutex_);
        for (const auto& account : accounts_)
            if (account->serial() == serial)
                return account.get();
        return nullptr;
    }
    void account_changed(Account& account) override
    {
        ++counts_.changes;
        counts_.stale += removed_.count(account.serial()) ? 1 : 0;
    }
    void play_sound(const std::string&) override {}
    void run_file(const std::string&) override {}
    bool run_mailer() override
    {
        ++counts_.mailers;
        return true;  // nothing is marked seen, so every check asks again
    }
    bool confirm_deletion(Account& account, const Asking& asking) override
    {
        ++counts_.confirmations;
        counts_.stale += removed_.count(account.serial()) ? 1 : 0;
        // Like a dialog: a loop of its own while the user thinks, which
        // ends early when the asking thread has given up.
        for (int i = 0; i < 4 && !asking.abandoned() && window_; ++i)
            window_->pump(50);
        return false;  // keep the marked message, so the next check asks again
    }

    std::unique_ptr<Account> make_account(const std::string& user, std::uint16_t port, std::uint32_t mode)
    {
        auto account = std::make_unique<Account>(&manager_);
        account->set_name(user);
        account->set_server(Url("pop3", user, "secret", "127.0.0.1", "/"));
        account->set_port(port);
        account->set_check_interval(1);
        account->set_timeout(5);
        account->set_deletion_mode(mode);
        account->set_check_cycle(&cycle_);
        account->set_host(&bridge);
        return account;
    }

    Account* pick(int index)
    {
        std::lock_guard<std::mutex> lock(list_mutex_);
        return accounts_[static_cast<std::size_t>(index) % accounts_.size()].get();
    }

    void remove(Account* account)
    {
        if (account == pick(0))
            account = pick(1);  // the confirming one stays
        REQUIRE(manager_.lock());
        manager_.stop_account(*account);
        std::unique_ptr<Account> gone;
        {
            std::lock_guard<std::mutex> lock(list_mutex_);
            for (auto it = accounts_.begin(); it != accounts_.end(); ++it)
                if (it->get() == account) {
                    gone = std::move(*it);
                    accounts_.erase(it);
                    break;
                }
        }
        manager_.unlock();
        bridge.forget(*gone);
        removed_.insert(gone->serial());
        ++counts_.removed;
    }

    void add(std::unique_ptr<Account> account)
    {
        Account* raw = account.get();
        {
            std::lock_guard<std::mutex> lock(list_mutex_);
            accounts_.push_back(std::move(account));
        }
        REQUIRE(manager_.lock());
        raw->start_thread();
        manager_.unlock();
        ++counts_.added;
    }

    FakePop3 server_;
    FakePop3 confirm_server_;
    std::uint16_t port_ = 0;
    std::uint16_t confirm_port_ = 0;
    // The confirming account's filter marks everything for deletion.
    CheckingCycle cycle_{&bridge, [](Account& account, Message& message) {
                             if (account.deletion_mode() == MSG_DELETION_CONFIRM)
                                 message.mark_deleted();
                         }};
    std::mutex list_mutex_;  // the time-out thread reads the list at start
    std::vector<std::unique_ptr<Account>> accounts_;
    ConnectionManager manager_{[this] {
                                   std::lock_guard<std::mutex> lock(list_mutex_);
                                   std::vector<TimedAccount*> out;
                                   for (const auto& account : accounts_)
                                       out.push_back(account.get());
                                   return out;
                               },
                               no_modem(), [] { return ConnectionType::lan; }};
    std::set<std::uint64_t> removed_;
    Counts counts_;
    WindowThread* window_ = nullptr;
};

// What every run must show, whatever plays the window.
inline void check_bridge_counts(const BridgeScenario::Counts& counts)
{
    MESSAGE("changes " << counts.changes << ", mail client requests " << counts.mailers << ", confirmations "
                       << counts.confirmations);
    CHECK(counts.stale == 0);
    CHECK(counts.removed == BridgeScenario::kRounds / 4);
    CHECK(counts.added == BridgeScenario::kRounds / 4);
    CHECK(counts.changes > BridgeScenario::kAccounts);
    CHECK(counts.mailers > 0);
    CHECK(counts.confirmations > 0);
    CHECK(platform::Thread::kill_count() == 0);
}

}  // namespace kivo::test
