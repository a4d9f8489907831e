#include <doctest/doctest.h>

#include <windows.h>

#include "controls_fixture.h"
#include "layout/anchor_layout.h"
#include "ui/anchored_layout.h"
#include "ui/control.h"

using kivo::test::rect_in_parent;
using kivo::test::TestParent;
using namespace kivo::layout;

TEST_CASE("controls follow the edges they are anchored to when the parent is resized")
{
    TestParent parent(300, 200);
    HWND text = kivo::ui::create_control("EDIT", WS_VISIBLE, parent.hwnd(), 1, RECT{10, 10, 290, 150});
    HWND ok = kivo::ui::create_control("BUTTON", WS_VISIBLE, parent.hwnd(), 2, RECT{210, 160, 290, 190}, "OK");
    HWND label = kivo::ui::create_control("STATIC", WS_VISIBLE, parent.hwnd(), 3, RECT{10, 160, 100, 180}, "x");
    HWND wide = kivo::ui::create_control("STATIC", WS_VISIBLE, parent.hwnd(), 4, RECT{10, 185, 290, 195}, "");

    kivo::ui::AnchoredLayout layout(parent.hwnd());
    layout.add(text, kAnchorAll);
    layout.add(parent.hwnd(), 2, kAnchorRight | kAnchorBottom);
    layout.add(label, kAnchorLeft | kAnchorBottom);
    layout.add(wide, kAnchorLeft | kAnchorRight | kAnchorBottom);
    layout.add(nullptr, kAnchorAll);  // a missing control is no error
    parent.on_size = [&](int w, int h) { layout.apply(w, h); };

    parent.resize_client(400, 260);
    CHECK(rect_in_parent(text) == RECT{10, 10, 390, 210});
    CHECK(rect_in_parent(ok) == RECT{310, 220, 390, 250});
    CHECK(rect_in_parent(label) == RECT{10, 220, 100, 240});
    CHECK(rect_in_parent(wide) == RECT{10, 245, 390, 255});

    // Too small for the stretched edit: it shrinks to nothing, not below.
    parent.resize_client(150, 40);
    CHECK(rect_in_parent(text) == RECT{10, 10, 140, 10});

    parent.resize_client(300, 200);
    CHECK(rect_in_parent(text) == RECT{10, 10, 290, 150});
    CHECK(rect_in_parent(ok) == RECT{210, 160, 290, 190});

    SUBCASE("a control added again takes its new place and anchors")
    {
        MoveWindow(ok, 10, 10, 50, 20, FALSE);
        layout.add(ok, kAnchorTopLeft);
        parent.resize_client(350, 250);
        CHECK(rect_in_parent(ok) == RECT{10, 10, 60, 30});
    }
    SUBCASE("a control destroyed meanwhile is left alone")
    {
        DestroyWindow(label);
        parent.resize_client(350, 250);
        CHECK(rect_in_parent(ok) == RECT{260, 210, 340, 240});
    }
}
