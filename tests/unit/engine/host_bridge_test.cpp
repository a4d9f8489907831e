// The bridge between account threads and the window thread, driven by hand:
// the test's own thread plays the window and calls drain().
#include <doctest/doctest.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engine/account.h"
#include "engine/host_bridge.h"
#include "support/eventually.h"

using kivo::Account;
using kivo::HostBridge;
using kivo::HostClient;

namespace {

bool soon(const std::function<bool()>& condition) { return kivo::test::eventually(condition); }

// The window's side: a list of accounts and a record of every call.
struct Window : HostClient {
    std::vector<Account*> listed;
    std::vector<std::string> calls;
    bool agree = true;
    std::function<void()> inside_confirmation;

    Account* find_account(std::uint64_t serial) override
    {
        for (Account* account : listed)
            if (account->serial() == serial)
                return account;
        return nullptr;
    }
    void account_changed(Account& account) override { calls.push_back("changed " + account.name()); }
    void play_sound(const std::string& file) override { calls.push_back("sound " + file); }
    void run_file(const std::string& file) override { calls.push_back("run " + file); }
    bool run_mailer() override
    {
        calls.push_back("mailer");
        return agree;
    }
    bool confirm_deletion(Account& account, const Asking&) override
    {
        calls.push_back("confirm " + account.name());
        if (inside_confirmation)
            inside_confirmation();
        return agree;
    }
};

struct Rig {
    kivo::SharedSettings settings;
    HostBridge bridge{settings};
    std::atomic<int> wakes{0};
    Window window;
    Account a, b;

    Rig()
    {
        a.set_name("a");
        b.set_name("b");
        window.listed = {&a, &b};
        bridge.set_wake([this] {
            ++wakes;
            return true;
        });
    }
};

}  // namespace

TEST_CASE("bridge: notifications are coalesced per account, and one wake covers a batch")
{
    Rig rig;
    rig.bridge.account_changed(rig.a);
    rig.bridge.account_changed(rig.a);
    rig.bridge.account_changed(rig.b);
    rig.bridge.account_changed(rig.a);
    rig.bridge.play_sound("new.wav");
    rig.bridge.run_file("clean.bat");
    CHECK(rig.wakes == 1);
    CHECK(rig.bridge.queued() == 4);

    rig.bridge.drain(rig.window);
    CHECK(rig.window.calls == std::vector<std::string>{"changed a", "changed b", "sound new.wav", "run clean.bat"});
    CHECK(rig.bridge.queued() == 0);

    // After the drain, a change is queued and woken for again.
    rig.bridge.account_changed(rig.a);
    CHECK(rig.wakes == 2);
}

TEST_CASE("bridge: nothing reaches an account that left the list")
{
    Rig rig;
    rig.bridge.account_changed(rig.a);
    rig.bridge.account_changed(rig.b);
    rig.bridge.forget(rig.a);        // removed and forgotten
    rig.window.listed = {};          // b is no longer listed either
    Account newcomer;                // may even take a's place in memory
    newcomer.set_name("new");
    rig.window.listed = {&newcomer};
    rig.bridge.drain(rig.window);
    CHECK(rig.window.calls.empty());
}

TEST_CASE("bridge: a request waits for the window's answer; a stop or a removal counts as no")
{
    Rig rig;
    std::atomic<int> answer{-1};
    auto ask = [&](auto call) {
        answer = -1;
        return std::thread([&, call] { answer = call() ? 1 : 0; });
    };

    SUBCASE("answered by the window")
    {
        std::thread asker = ask([&] { return rig.bridge.confirm_deletion(rig.a); });
        REQUIRE(soon([&] { return rig.bridge.queued() == 1; }));
        CHECK(answer == -1);  // still waiting
        rig.bridge.drain(rig.window);
        asker.join();
        CHECK(answer == 1);
        rig.window.agree = false;
        asker = ask([&] { return rig.bridge.request_run_mailer(rig.a); });
        REQUIRE(soon([&] { return rig.bridge.queued() == 1; }));
        rig.bridge.drain(rig.window);
        asker.join();
        CHECK(answer == 0);
        CHECK(rig.window.calls == std::vector<std::string>{"confirm a", "mailer"});
    }
    SUBCASE("the asking account is stopped while it waits")
    {
        std::thread asker = ask([&] { return rig.bridge.confirm_deletion(rig.a); });
        REQUIRE(soon([&] { return rig.bridge.queued() == 1; }));
        rig.a.signal_stop();
        asker.join();
        CHECK(answer == 0);
        CHECK(rig.bridge.queued() == 0);  // withdrawn: the window never sees it
        rig.bridge.drain(rig.window);
        CHECK(rig.window.calls.empty());
        // A stopped account does not even ask.
        CHECK_FALSE(rig.bridge.confirm_deletion(rig.a));
    }
    SUBCASE("the account is removed while it waits")
    {
        std::thread asker = ask([&] { return rig.bridge.confirm_deletion(rig.b); });
        REQUIRE(soon([&] { return rig.bridge.queued() == 1; }));
        rig.bridge.forget(rig.b);
        asker.join();
        CHECK(answer == 0);
    }
    SUBCASE("the bridge is closed while it waits, and refuses afterwards")
    {
        std::thread asker = ask([&] { return rig.bridge.request_run_mailer(rig.a); });
        REQUIRE(soon([&] { return rig.bridge.queued() == 1; }));
        rig.bridge.set_wake({});
        asker.join();
        CHECK(answer == 0);
        CHECK_FALSE(rig.bridge.request_run_mailer(rig.a));
        rig.bridge.account_changed(rig.a);
        CHECK(rig.bridge.queued() == 0);
    }
}

TEST_CASE("bridge: a window that throws still answers the asker, and the error reaches the window")
{
    struct Throwing : Window {
        bool run_mailer() override { throw std::runtime_error("no client"); }
    } window;
    Rig rig;
    std::atomic<int> answer{-1};
    std::thread asker([&] { answer = rig.bridge.request_run_mailer(rig.a) ? 1 : 0; });
    REQUIRE(soon([&] { return rig.bridge.queued() == 1; }));
    CHECK_THROWS_AS(rig.bridge.drain(window), std::runtime_error);
    asker.join();
    CHECK(answer == 0);
}

TEST_CASE("bridge: a dialog's own loop inside an answer drains what comes meanwhile")
{
    Rig rig;
    rig.window.inside_confirmation = [&] {
        rig.bridge.account_changed(rig.b);  // arrives while the dialog is up
        rig.bridge.drain(rig.window);       // its message loop delivers it
    };
    std::atomic<int> answer{-1};
    std::thread asker([&] { answer = rig.bridge.confirm_deletion(rig.a) ? 1 : 0; });
    REQUIRE(soon([&] { return rig.bridge.queued() == 1; }));
    rig.bridge.drain(rig.window);
    asker.join();
    CHECK(answer == 1);
    CHECK(rig.window.calls == std::vector<std::string>{"confirm a", "changed b"});
}

TEST_CASE("bridge: the mail client after new mail follows the shared setting")
{
    Rig rig;
    rig.bridge.run_mailer_if_enabled(rig.a);  // off: returns at once, asks nothing
    CHECK(rig.bridge.queued() == 0);
    rig.settings.run_mailer_after_new_mail = true;
    std::thread asker([&] { rig.bridge.run_mailer_if_enabled(rig.a); });
    REQUIRE(soon([&] { return rig.bridge.queued() == 1; }));
    rig.bridge.drain(rig.window);
    asker.join();
    CHECK(rig.window.calls == std::vector<std::string>{"mailer"});
}
