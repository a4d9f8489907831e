#include <doctest/doctest.h>

#include <climits>
#include <numeric>
#include <string>

#include "layout/splitter_layout.h"

using namespace kivo::layout;

namespace doctest {
template <>
struct StringMaker<PaneHeights> {
    static String convert(const PaneHeights& h)
    {
        return ("{" + std::to_string(h[0]) + ", " + std::to_string(h[1]) + ", " + std::to_string(h[2]) + "}").c_str();
    }
};
}  // namespace doctest

namespace {

SplitterMetrics metrics(int bar = 4, PaneHeights minimum = {20, 30, 10}, int elastic = 1)
{
    SplitterMetrics m;
    m.bar = bar;
    m.minimum = minimum;
    m.elastic = elastic;
    return m;
}

int sum(const PaneHeights& h)
{
    return std::accumulate(h.begin(), h.end(), 0);
}

}  // namespace

TEST_CASE("the elastic pane takes what the others leave, and gives way in order when the room shrinks")
{
    const SplitterMetrics m = metrics();
    // 300 pixels, two bars of 4: 292 for the panes.
    CHECK(fit_heights({50, 60, 70}, m, 300) == PaneHeights{50, 172, 70});
    // The middle pane shrinks to its minimum first ...
    CHECK(fit_heights({50, 60, 70}, m, 158) == PaneHeights{50, 30, 70});
    // ... then the bottom pane, then the top one.
    CHECK(fit_heights({50, 60, 70}, m, 118) == PaneHeights{50, 30, 30});
    CHECK(fit_heights({50, 60, 70}, m, 78) == PaneHeights{30, 30, 10});
    CHECK(fit_heights({50, 60, 70}, m, 68) == PaneHeights{20, 30, 10});
    // Not even the minimums fit: the top panes get theirs first.
    CHECK(fit_heights({50, 60, 70}, m, 48) == PaneHeights{20, 20, 0});
    CHECK(fit_heights({50, 60, 70}, m, 5) == PaneHeights{0, 0, 0});
    CHECK(fit_heights({50, 60, 70}, m, -10) == PaneHeights{0, 0, 0});

    SUBCASE("whatever the room, the panes fill it exactly once the minimums fit and never go negative")
    {
        for (int total = -5; total < 400; ++total) {
            PaneHeights h = fit_heights({50, 60, 70}, m, total);
            for (int x : h)
                CHECK(x >= 0);
            int room = std::max(0, total - 8);
            if (room >= 60)
                CHECK(sum(h) == room);
            else
                CHECK(sum(h) <= room);
        }
    }
    SUBCASE("another elastic pane")
    {
        CHECK(fit_heights({50, 60, 70}, metrics(4, {20, 30, 10}, 2), 300) == PaneHeights{50, 60, 182});
        CHECK(fit_heights({50, 60, 70}, metrics(4, {20, 30, 10}, 0), 300) == PaneHeights{162, 60, 70});
    }
    SUBCASE("wanted heights below the minimum, or absurd ones from a stored setting")
    {
        CHECK(fit_heights({0, 0, 0}, m, 300) == PaneHeights{20, 262, 10});
        PaneHeights h = fit_heights({INT_MAX, 5, INT_MAX}, m, 300);
        CHECK(sum(h) == 292);
        CHECK(h[1] == 30);
        CHECK(h[2] == 10);
    }
}

TEST_CASE("moving a bar changes only its two panes and stops at their minimums")
{
    const SplitterMetrics m = metrics();
    const PaneHeights start{50, 100, 70};
    CHECK(move_bar(start, m, 0, 25) == PaneHeights{75, 75, 70});
    CHECK(move_bar(start, m, 0, -25) == PaneHeights{25, 125, 70});
    CHECK(move_bar(start, m, 0, 500) == PaneHeights{120, 30, 70});
    CHECK(move_bar(start, m, 0, -500) == PaneHeights{20, 130, 70});
    CHECK(move_bar(start, m, 1, -500) == PaneHeights{50, 30, 140});
    CHECK(move_bar(start, m, 1, 500) == PaneHeights{50, 160, 10});
    CHECK(move_bar(start, m, 0, INT_MIN) == PaneHeights{20, 130, 70});
    // No such bar, or no room between the minimums: nothing moves.
    CHECK(move_bar(start, m, 2, 10) == start);
    CHECK(move_bar(start, m, -1, 10) == start);
    CHECK(move_bar({10, 20, 70}, m, 0, 5) == PaneHeights{10, 20, 70});
}

TEST_CASE("a splitter keeps the user's heights through a shrink and gets them back when it grows")
{
    SplitterLayout layout(metrics());
    layout.set_wanted({60, 0, 80});
    layout.resize(400);
    CHECK(layout.heights() == PaneHeights{60, 252, 80});
    CHECK(layout.pane_top(1) == 64);
    CHECK(layout.pane_top(2) == 320);
    CHECK(layout.bar_top(1) == 316);
    CHECK(layout.bar_at(59) == -1);
    CHECK(layout.bar_at(60) == 0);
    CHECK(layout.bar_at(63) == 0);
    CHECK(layout.bar_at(64) == -1);
    CHECK(layout.bar_at(318) == 1);

    layout.resize(100);
    CHECK(layout.heights() == PaneHeights{52, 30, 10});
    layout.resize(400);
    CHECK(layout.heights() == PaneHeights{60, 252, 80});

    SUBCASE("a drag moves the bar with the mouse and becomes the new choice")
    {
        layout.begin_drag(layout.bar_at(318), 318);
        CHECK(layout.dragging());
        layout.drag_to(300);
        CHECK(layout.heights() == PaneHeights{60, 234, 98});
        layout.drag_to(330);
        CHECK(layout.heights() == PaneHeights{60, 264, 68});
        layout.end_drag();
        layout.drag_to(200);  // no drag any more: ignored
        CHECK(layout.heights() == PaneHeights{60, 264, 68});
        CHECK(layout.wanted()[2] == 68);
        layout.resize(500);
        CHECK(layout.heights() == PaneHeights{60, 364, 68});
    }
    SUBCASE("a resize in the middle of a drag goes on from where the bar is, without a jump")
    {
        layout.begin_drag(0, 62);
        layout.drag_to(82);
        CHECK(layout.heights()[0] == 80);
        layout.resize(300);
        CHECK(layout.heights() == PaneHeights{80, 132, 80});
        layout.drag_to(92);
        CHECK(layout.heights() == PaneHeights{90, 122, 80});
    }
    SUBCASE("stored zeros, or negative heights from a damaged setting, keep the current choice")
    {
        layout.set_wanted({0, -40, INT_MIN});
        CHECK(layout.heights() == PaneHeights{60, 252, 80});
    }
}
