#include <doctest/doctest.h>

#include <stdexcept>

#include "app/entry_guard.h"
#include "win32/box_watcher.h"

using kivo::app::run_reporting_failures;
using kivo::test::BoxWatcher;

TEST_CASE("whatever escapes the program is reported as an unexpected error and the exit code is 0")
{
    SUBCASE("a normal end passes its code through without a box")
    {
        BoxWatcher watcher(IDOK);
        CHECK(run_reporting_failures([] { return 3; }) == 3);
        CHECK(!watcher.box().seen);
    }
    SUBCASE("a standard exception")
    {
        BoxWatcher watcher(IDOK);
        CHECK(run_reporting_failures([]() -> int { throw std::runtime_error("boom"); }) == 0);
        REQUIRE(watcher.box().seen);
        CHECK(watcher.box().text == "Unexpected Error.");
        CHECK(watcher.box().caption == "Kivo Email Checker Warning");
    }
    SUBCASE("anything else thrown")
    {
        BoxWatcher watcher(IDOK);
        CHECK(run_reporting_failures([]() -> int { throw 42; }) == 0);
        CHECK(watcher.box().text == "Unexpected Error.");
    }
}
