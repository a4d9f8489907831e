#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "appcore/log_follow.h"
#include "log/log.h"

using kivo::Log;
using kivo::LogFollower;

namespace {

bool fixed_time(kivo::platform::LocalTime& t)
{
    t = {2026, 3, 5, 14, 7, 9};
    return true;
}

const std::string kStamp = "05.03.2026 14.07.09 ";

}  // namespace

TEST_CASE("the log viewer's follower shows each line of the ring exactly once")
{
    Log log;
    log.set_time_source(fixed_time);
    LogFollower follower;

    SUBCASE("identical lines written between two refreshes are all shown")
    {
        log.write_line("same");
        std::vector<std::string> first = follower.new_rows(log.recent_numbered());
        REQUIRE(first.size() == 1);
        CHECK(first[0].starts_with(kStamp + "same "));
        log.write_line("same");
        log.write_line("same");
        CHECK(follower.new_rows(log.recent_numbered()).size() == 2);
        CHECK(follower.new_rows(log.recent_numbered()).empty());
    }

    SUBCASE("a burst larger than the ring is shown from the oldest kept line, once")
    {
        log.write_line("first");
        CHECK(follower.new_rows(log.recent_numbered()).size() == 1);
        for (int i = 0; i < 450; ++i)
            log.write_line("burst %d", i);
        std::vector<std::string> rows = follower.new_rows(log.recent_numbered());
        REQUIRE(rows.size() == static_cast<std::size_t>(Log::kDefaultCapacity));
        CHECK(rows.front().starts_with(kStamp + "burst 150 "));
        CHECK(rows.back().starts_with(kStamp + "burst 449 "));
        CHECK(follower.new_rows(log.recent_numbered()).empty());
        CHECK(follower.last_shown() == 451);
    }

    SUBCASE("control characters become blanks; lines of blanks only are left out but still count as shown")
    {
        std::vector<Log::NumberedLine> ring{{1, "a\tb\r\n"}, {2, "\r\n"}, {3, "c"}};
        CHECK(follower.new_rows(ring) == std::vector<std::string>{"a b  ", "c"});
        CHECK(follower.new_rows(ring).empty());
        ring.push_back({4, "d"});
        CHECK(follower.new_rows(ring) == std::vector<std::string>{"d"});
    }
}

TEST_CASE("the log numbers its lines from 1 and keeps the numbers when the ring drops old lines")
{
    Log log;
    log.set_time_source(fixed_time);
    CHECK(log.recent_numbered().empty());
    log.set_capacity(2);
    log.write_line("a");
    log.write_line("b");
    log.write_line("c");
    std::vector<Log::NumberedLine> lines = log.recent_numbered();
    REQUIRE(lines.size() == 2);
    CHECK(lines[0].sequence == 2);
    CHECK(lines[0].text.starts_with(kStamp + "b"));
    CHECK(lines[1].sequence == 3);
}
