#include <doctest/doctest.h>

#include <atomic>
#include <thread>

#include "platform/sync.h"

using namespace kivo::platform;

TEST_CASE("event: manual-reset events stay set until reset")
{
    Event e(true, false);
    CHECK_FALSE(e.is_set());
    CHECK_FALSE(e.wait(0));
    e.set();
    e.set();  // setting twice is one set
    CHECK(e.is_set());
    CHECK(e.wait(0));
    CHECK(e.wait(0));
    e.reset();
    CHECK_FALSE(e.wait(10));
    Event initially(true, true);
    CHECK(initially.wait(0));
}

TEST_CASE("event: an auto-reset event releases one wait and resets itself")
{
    Event e(false, true);
    CHECK(e.is_set());  // looking does not consume it
    CHECK(e.wait(0));
    CHECK_FALSE(e.wait(0));
    CHECK_FALSE(e.is_set());
}

TEST_CASE("event: a wait ends as soon as another thread sets the event")
{
    Event e;
    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        e.set();
    });
    CHECK(e.wait(kInfinite));
    setter.join();
}

TEST_CASE("wait_any: reports the set event, or -1 after the time-out")
{
    Event a, b;
    CHECK(wait_any({&a, &b}, 10) == -1);
    b.set();
    CHECK(wait_any({&a, &b}, 0) == 1);
    a.set();
    CHECK(wait_any({&a, &b}, 0) == 0);  // the first of several

    Event automatic(false, false);
    automatic.set();
    CHECK(wait_any({&automatic}, 0) == 0);
    CHECK(wait_any({&automatic}, 0) == -1);  // consumed by the first wait
}

TEST_CASE("semaphore: counts, times out and refuses to pass its maximum")
{
    Semaphore s(1, 1);
    CHECK(s.acquire(0));
    CHECK_FALSE(s.acquire(10));
    CHECK(s.release());
    CHECK_FALSE(s.release());
    CHECK(s.acquire(kInfinite));

    std::atomic<bool> got{false};
    std::thread waiter([&] { got = s.acquire(kInfinite); });
    s.release();
    waiter.join();
    CHECK(got);
}

TEST_CASE("thread: runs its body, joins with a time-out, swallows exceptions")
{
    Event go;
    std::atomic<int> runs{0};
    Thread t;
    CHECK(t.join(0));  // never started
    REQUIRE(t.start([&] {
        go.wait(kInfinite);
        ++runs;
        throw 42;  // must not take the process down
    }));
    CHECK(t.running());
    CHECK_FALSE(t.start([] {}));  // one body at a time
    CHECK_FALSE(t.join(10));
    go.set();
    CHECK(t.join(kInfinite));
    CHECK_FALSE(t.running());
    CHECK(runs == 1);

    std::uint64_t kills = Thread::kill_count();
    REQUIRE(t.start([&] { ++runs; }));  // a joined thread may start again
    CHECK(t.join(kInfinite));
    CHECK(runs == 2);
    CHECK(Thread::kill_count() == kills);
}

TEST_CASE("thread: a kill is the last resort and is counted")
{
    // The body holds only what it owns: on Windows it is cut off mid-way.
    auto started = std::make_shared<Event>();
    auto release = std::make_shared<Event>();
    std::uint64_t kills = Thread::kill_count();
    Thread t;
    REQUIRE(t.start([started, release] {
        started->set();
        release->wait(300);  // bounded: POSIX waits for the body to end
    }));
    REQUIRE(started->wait(kInfinite));
    CHECK_FALSE(t.join(10));
    t.kill();
    CHECK_FALSE(t.running());
    CHECK(Thread::kill_count() == kills + 1);
    // A killed thread's object can start a new body.
    std::atomic<bool> ran{false};
    REQUIRE(t.start([&ran] { ran = true; }));
    CHECK(t.join(kInfinite));
    CHECK(ran);
}
