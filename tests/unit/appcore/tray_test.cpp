// The tray icon's decisions: which picture, which badge, which tooltip.
#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "appcore/tray_decisions.h"
#include "message_ids.h"

using namespace kivo::tray;

namespace {
AccountView account(const char* name, std::uint32_t state, int unseen, int total = 0)
{
    return AccountView{name, state, unseen, total};
}
}  // namespace

TEST_CASE("tray: the state icon follows checking and failures under the two settings")
{
    Facts both = Facts::of({account("a", kivo::MSG_STATE_CHECKING, 0), account("b", kivo::MSG_STATE_FAILED, 0)});
    CHECK(state_icon(both, true, true) == Slot::check_error);
    CHECK(state_icon(both, false, true) == Slot::error);
    CHECK(state_icon(both, true, false) == Slot::check);
    CHECK(state_icon(both, false, false) == Slot::normal);
    Facts failed = Facts::of({account("b", kivo::MSG_STATE_FAILED, 0)});
    CHECK(state_icon(failed, true, true) == Slot::error);
    CHECK(state_icon(failed, true, false) == Slot::normal);
    Facts connecting = Facts::of({account("a", kivo::MSG_STATE_CONNECTING, 0)});
    CHECK(state_icon(connecting, true, false) == Slot::check);
    CHECK(state_icon(connecting, false, true) == Slot::normal);
    CHECK(state_icon(Facts::of({}), true, true) == Slot::normal);

    // The badge tells the real states whatever the settings show.
    CHECK(badge_colour(both) == Colour{140, 140, 0});
    CHECK(badge_colour(failed) == Colour{140, 0, 0});
    CHECK(badge_colour(connecting) == Colour{0, 0, 140});
    CHECK(badge_colour(Facts::of({account("a", kivo::MSG_STATE_SLEEPING, 3)})) == Colour{0, 140, 0});
}

TEST_CASE("tray: the badge counts unseen or all messages; no mail shows 0 unless checking is shown")
{
    Facts none = Facts::of({account("a", kivo::MSG_STATE_SLEEPING, 0, 0)});
    CHECK(badge_number(none, false, false) == 0);
    CHECK_FALSE(badge_number(none, false, true).has_value());
    Facts some = Facts::of({account("a", kivo::MSG_STATE_SLEEPING, 2, 7), account("b", kivo::MSG_STATE_SLEEPING, 1, 5)});
    CHECK(badge_number(some, false, true) == 3);
    CHECK(badge_number(some, true, true) == 12);
    // Counts that would overflow 32 bits are summed wide.
    Facts huge = Facts::of({account("a", 0, 2147483647), account("b", 0, 2147483647)});
    CHECK(badge_number(huge, false, false) == 4294967294LL);
}

TEST_CASE("tray: the tooltip counts unseen mail per account and is cut to the notification area's size")
{
    CHECK(tooltip({account("Home", kivo::MSG_STATE_SLEEPING, 3, 9), account("Work", kivo::MSG_STATE_SLEEPING, 0, 4)}) ==
          "3 new messages\nHome: 3");
    CHECK(tooltip({}) == "0 new messages");
    std::vector<AccountView> many;
    for (int i = 0; i < 20; ++i)
        many.push_back(account("mailbox number", kivo::MSG_STATE_SLEEPING, 1));
    std::string cut = tooltip(many);
    CHECK(cut.size() == kTooltipLimit);
    CHECK(cut.rfind("20 new messages\nmailbox number: 1\n", 0) == 0);
}

TEST_CASE("tray: the icon flashes only while unseen mail waits and notification runs")
{
    CHECK(tick_frame(false, true, false, false, 1) == Frame::flash);
    CHECK(tick_frame(true, true, false, false, 1) == Frame::composed);
    CHECK(tick_frame(false, false, false, false, 1) == Frame::composed);  // flashing off
    CHECK(tick_frame(false, true, true, false, 1) == Frame::composed);    // window shown
    CHECK(tick_frame(false, true, false, true, 1) == Frame::composed);    // stopped
    CHECK(tick_frame(false, true, false, false, 0) == Frame::composed);   // nothing unseen
}
