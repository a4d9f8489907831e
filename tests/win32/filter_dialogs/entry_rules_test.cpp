#include <doctest/doctest.h>

#include <string>

#include "appcore/help_topics.h"
#include "filter_dialogs/entry_rules.h"

using namespace kivo::filter_dialogs;

TEST_CASE("a KB field takes whole numbers from 0 to 2097151 and nothing else")
{
    CHECK(parse_kb("0") == 0);
    CHECK(parse_kb("2097151") == 2097151);
    CHECK(parse_kb("0012") == 12);
    for (const char* bad : {"", " 5", "5 ", "-1", "+1", "1.5", "1,000", "2097152", "99999999999", "4294967297"})
        CHECK_MESSAGE(!parse_kb(bad), bad);
    // The largest value still gives a positive byte count.
    CHECK(static_cast<long long>(*parse_kb("2097151")) * 1024 <= 0x7fffffffLL);
}

TEST_CASE("the size fields' OK rules and what they store")
{
    BoundField off{false, "0"};
    SUBCASE("neither box checked cannot be confirmed in the size dialog, but can in the power dialog")
    {
        CHECK(!bounds_acceptable(off, off, true));
        CHECK(bounds_acceptable(off, off, false));
        CHECK(!bounds_usable(off, off));
    }
    SUBCASE("only 'smaller than' with 0 is no bound")
    {
        CHECK(!bounds_acceptable(off, {true, "0"}, true));
        CHECK(bounds_acceptable(off, {true, "1"}, true));
        CHECK(bounds_acceptable({true, "0"}, {true, "0"}, true));
    }
    SUBCASE("a checked field with a bad value refuses, an unchecked one is not looked at")
    {
        CHECK(!bounds_acceptable({true, "2097152"}, off, true));
        CHECK(!bounds_acceptable({true, "10"}, {true, "x"}, false));
        CHECK(bounds_acceptable({true, "10"}, {false, "x"}, true));
    }
    SUBCASE("stored bounds are KB times 1024, -1 when unchecked")
    {
        Bounds b = bounds_from({true, "2097151"}, {false, "7"});
        CHECK(b.upper == 2097151 * 1024);
        CHECK(b.lower == -1);
        b = bounds_from({false, "1"}, {true, "3"});
        CHECK(b.upper == -1);
        CHECK(b.lower == 3072);
        CHECK(kb_text(2047) == "1");
        CHECK(kb_text(-1).empty());
    }
}

TEST_CASE("priorities map onto High, Normal, Low and back")
{
    CHECK(priority_index(1) == 0);
    CHECK(priority_index(2) == 0);
    CHECK(priority_index(3) == 1);
    CHECK(priority_index(4) == 2);
    CHECK(priority_index(5) == 2);
    CHECK(priority_from_index(0) == 1);
    CHECK(priority_from_index(1) == 3);
    CHECK(priority_from_index(2) == 5);
    CHECK(priority_from_index(-1) == 3);
}

TEST_CASE("help follows the tab that is shown, Power being the first")
{
    using namespace kivo::help;
    CHECK(std::string(help_topic_for_tab(0)) == kFiltration);
    CHECK(std::string(help_topic_for_tab(2)) == kFromFilter);
    CHECK(std::string(help_topic_for_tab(3)) == kSubjectFilter);
    CHECK(std::string(help_topic_for_tab(4)) == kToCcFilter);
    CHECK(std::string(help_topic_for_tab(5)) == kSpammersList);
    CHECK(help_topic_for_tab(-1) == nullptr);
    CHECK(help_topic_for_tab(7) == nullptr);
}
