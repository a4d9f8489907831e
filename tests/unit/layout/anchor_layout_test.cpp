#include <doctest/doctest.h>

#include "layout/anchor_layout.h"

using namespace kivo::layout;

TEST_CASE("anchored controls keep their distances to the edges they hold on to")
{
    const Rect at{10, 20, 110, 50};
    const Size before{200, 100};
    const Size grown{260, 140};  // 60 wider, 40 higher

    CHECK(anchored_rect(at, before, grown, kAnchorTopLeft) == at);
    CHECK(anchored_rect(at, before, grown, 0) == at);
    CHECK(anchored_rect(at, before, grown, kAnchorAll) == Rect{10, 20, 170, 90});
    CHECK(anchored_rect(at, before, grown, kAnchorRight | kAnchorBottom) == Rect{70, 60, 170, 90});
    CHECK(anchored_rect(at, before, grown, kAnchorLeft | kAnchorRight | kAnchorTop) == Rect{10, 20, 170, 50});
    CHECK(anchored_rect(at, before, grown, kAnchorTop | kAnchorBottom | kAnchorRight) == Rect{70, 20, 170, 90});

    SUBCASE("the result depends only on the initial rectangles, so sizes can go back and forth")
    {
        Rect r = anchored_rect(at, before, {50, 30}, kAnchorAll);
        r = anchored_rect(at, before, before, kAnchorAll);
        CHECK(r == at);
    }
    SUBCASE("a stretched control shrinks to nothing rather than turn inside out")
    {
        Rect r = anchored_rect(at, before, {50, 10}, kAnchorAll);
        CHECK(r == Rect{10, 20, 10, 20});
        CHECK(r.width() == 0);
        // A moving one keeps its size, even past the near edge.
        CHECK(anchored_rect(at, before, {50, 10}, kAnchorRight | kAnchorBottom) == Rect{-140, -70, -40, -40});
    }
}
