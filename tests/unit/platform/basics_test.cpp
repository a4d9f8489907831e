#include <doctest/doctest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/critical_section.h"
#include "platform/program_folder.h"

using namespace kivo::platform;

TEST_CASE("clock: local time is plausible and the tick count moves forward")
{
    LocalTime t;
    REQUIRE(local_time(t));
    CHECK(t.year >= 2020);
    CHECK((t.month >= 1 && t.month <= 12));
    CHECK((t.day >= 1 && t.day <= 31));
    CHECK((t.hour >= 0 && t.hour <= 23));
    CHECK((t.second >= 0 && t.second <= 60));

    std::uint32_t a = tick_count();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::uint32_t elapsed = tick_count() - a;  // unsigned arithmetic survives the wrap
    CHECK(elapsed >= 10);
    CHECK(elapsed < 60000);
}

TEST_CASE("program folder: the executable's directory with its trailing separator")
{
    std::string folder = program_folder();
    REQUIRE_FALSE(folder.empty());
    char last = folder.back();
    CHECK((last == '\\' || last == '/'));

    set_program_folder_for_tests("/tmp/kivo-test/");
    CHECK(program_folder() == "/tmp/kivo-test/");
    set_program_folder_for_tests("");
    CHECK(program_folder() == folder);
}

TEST_CASE("critical section: serialises threads and may be entered again by its owner")
{
    CriticalSection cs;
    {
        CriticalSectionLock outer(cs);
        CriticalSectionLock inner(cs);  // recursive, like a Win32 critical section
    }
    long counter = 0;  // deliberately not atomic: the lock must protect it
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) {
                CriticalSectionLock lock(cs);
                ++counter;
            }
        });
    for (auto& th : threads)
        th.join();
    CHECK(counter == 40000);
}
