#include <doctest/doctest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "engine/connection_manager.h"
#include "support/eventually.h"
#include "support/fake_modem.h"

using kivo::ConnectionManager;
using kivo::ConnectionType;
using kivo::TimedAccount;
using kivo::test::eventually;
using kivo::test::FakeModem;
using namespace kivo::platform;

namespace {

// An account whose "check" is a script run on its own thread.
struct FakeAccount : TimedAccount {
    std::string name;
    std::int32_t timeout = 1;
    bool disabled = false;
    Event stop{true, false};
    Thread thread;
    std::atomic<int> starts{0};
    std::atomic<int> ends{0};
    std::function<void(FakeAccount&)> check;

    explicit FakeAccount(std::string n) : name(std::move(n)) {}
    ~FakeAccount() override
    {
        stop.set();
        thread.join(kInfinite);
    }
    std::string account_name() const override { return name; }
    std::int32_t timeout_seconds() const override { return timeout; }
    Event& stop_event() override { return stop; }
    bool start_thread() override
    {
        if (disabled || !thread.join(0))
            return false;
        stop.reset();
        ++starts;
        return thread.start([this] {
            if (check)
                check(*this);
            ++ends;
        });
    }
    void signal_stop() override { stop.set(); }
    bool wait_thread() override
    {
        if (starts == 0)
            return false;
        if (!thread.join(2000))
            thread.kill();
        return true;
    }
};

struct Rig {
    std::vector<FakeAccount*> accounts;
    FakeModem* modem = nullptr;
    ConnectionManager manager;

    explicit Rig(std::vector<FakeAccount*> list, std::unique_ptr<FakeModem> m = std::make_unique<FakeModem>())
        : accounts(std::move(list)), modem(m.get()),
          manager([this] { return std::vector<TimedAccount*>(accounts.begin(), accounts.end()); }, std::move(m),
                  [] { return ConnectionType::dialup_modem; })
    {
    }
    ~Rig()
    {
        manager.stop_all();
        manager.stop();
    }
};

// A check against a server that accepts and then says nothing: the read
// waits until the stop event ends it, then the session winds down the way a
// failed check does, calling back into the manager.
void silent_server(FakeAccount& a, ConnectionManager& m)
{
    if (!m.begin_check(a))
        return;
    m.schedule_timeout(a);
    a.stop.wait(kInfinite);
    m.schedule_timeout(a);  // a stopping thread must not wait for the manager's lock
    m.end_check(a);
}

}  // namespace

TEST_CASE("connection manager: starts every account that is not disabled")
{
    FakeAccount a("a"), b("b"), off("off");
    off.disabled = true;
    Rig rig({&a, &b, &off});
    REQUIRE(rig.manager.start());
    CHECK(eventually([&] { return a.starts == 1 && b.starts == 1; }));
    CHECK(off.starts == 0);
}

TEST_CASE("connection manager: a silent server is stopped after its time-out and a fresh thread starts at once")
{
    std::uint64_t kills = Thread::kill_count();
    FakeAccount a("silent");
    Rig rig({&a});
    a.check = [&rig](FakeAccount& self) { silent_server(self, rig.manager); };
    REQUIRE(rig.manager.start());
    REQUIRE(eventually([&] { return a.starts >= 2; }));
    CHECK(a.ends >= 1);
    CHECK(rig.manager.timeouts() >= 1);
    // The stopped thread ended by itself: nothing was killed.
    CHECK(Thread::kill_count() == kills);
    // Each restarted check dialled afresh and every ended one gave its use back.
    CHECK(eventually([&] { return rig.modem->dials.load() == rig.modem->hangups.load() + 1; }));
}

TEST_CASE("connection manager: a finished check clears its deadline and gives the connection back")
{
    FakeAccount a("quick");
    Rig rig({&a});
    std::atomic<bool> done{false};
    a.check = [&](FakeAccount& self) {
        REQUIRE(rig.manager.begin_check(self));
        CHECK(rig.manager.schedule().size() == 1);
        rig.manager.end_check(self);
        done = true;
    };
    REQUIRE(rig.manager.start());
    REQUIRE(eventually([&] { return done.load(); }));
    CHECK(rig.manager.schedule().empty());
    CHECK(rig.modem->dials == 1);
    CHECK(rig.modem->hangups == 1);
    CHECK(rig.manager.connection().use_count() == 0);
}

TEST_CASE("connection manager: exit while a read waits ends every thread within the grace, without a kill")
{
    std::uint64_t kills = Thread::kill_count();
    FakeAccount a("a"), b("b");
    a.timeout = b.timeout = 600;  // no time-out during the test
    std::atomic<int> waiting{0};
    auto reading = [&](FakeAccount& self, ConnectionManager& m) {
        if (!m.begin_check(self))
            return;
        ++waiting;
        self.stop.wait(kInfinite);
        m.end_check(self);
    };
    {
        Rig rig({&a, &b});
        a.check = [&](FakeAccount& self) { reading(self, rig.manager); };
        b.check = [&](FakeAccount& self) { reading(self, rig.manager); };
        REQUIRE(rig.manager.start());
        REQUIRE(eventually([&] { return waiting == 2; }));
        auto before = std::chrono::steady_clock::now();
        rig.manager.stop_all();
        rig.manager.stop();
        CHECK(std::chrono::steady_clock::now() - before < std::chrono::seconds(2));
        CHECK(rig.manager.schedule().empty());
        CHECK(rig.manager.connection().use_count() == 0);
        CHECK(rig.modem->hangups == 1);
    }
    CHECK(a.ends == 1);
    CHECK(b.ends == 1);
    CHECK(Thread::kill_count() == kills);
}

TEST_CASE("connection manager: restart stops the running check and starts a fresh one")
{
    std::uint64_t kills = Thread::kill_count();
    FakeAccount a("a");
    a.timeout = 600;
    Rig rig({&a});
    a.check = [&rig](FakeAccount& self) { silent_server(self, rig.manager); };
    REQUIRE(rig.manager.start());
    REQUIRE(eventually([&] { return rig.manager.schedule().size() == 1; }));
    rig.manager.restart_account(a);
    CHECK(a.starts == 2);
    CHECK(a.ends == 1);
    CHECK(Thread::kill_count() == kills);
    CHECK(eventually([&] { return rig.manager.schedule().size() == 1; }));
    CHECK(rig.manager.connection().use_count() == 1);  // only the fresh check holds the line
}

TEST_CASE("connection manager: the lock times out only for callers without a stop request")
{
    FakeAccount a("a");
    Rig rig({&a});
    REQUIRE(rig.manager.lock());
    a.stop.set();
    auto before = std::chrono::steady_clock::now();
    CHECK_FALSE(rig.manager.lock(&a.stop));  // gives up at once
    CHECK(std::chrono::steady_clock::now() - before < std::chrono::seconds(5));
    rig.manager.unlock();
    a.stop.reset();
    CHECK(rig.manager.lock(&a.stop));
    rig.manager.unlock();
}

TEST_CASE("connection manager: a deadline already passed is handled at once")
{
    FakeAccount a("late");
    a.timeout = 0;  // the deadline is now
    std::atomic<int> checks{0};
    Rig rig({&a});
    a.check = [&](FakeAccount& self) {
        ++checks;
        if (checks == 1)
            silent_server(self, rig.manager);
    };
    REQUIRE(rig.manager.start());
    CHECK(eventually([&] { return a.starts >= 2; }, std::chrono::seconds(5)));
}
