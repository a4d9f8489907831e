#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include "controls_fixture.h"
#include "layout/anchor_layout.h"
#include "ui/anchored_layout.h"
#include "ui/control.h"
#include "ui/list_view.h"
#include "ui/splitter.h"

using kivo::layout::PaneHeights;
using kivo::test::rect_in_parent;
using kivo::test::TestParent;

namespace {

kivo::layout::SplitterMetrics test_metrics()
{
    kivo::layout::SplitterMetrics m;
    m.bar = 6;
    m.minimum = {30, 40, 30};
    m.elastic = 1;
    return m;
}

// A splitter filling a 300 x 400 client area, with three panes.
struct SplitterWindow {
    TestParent parent{300, 400};
    kivo::ui::Splitter splitter{test_metrics()};
    HWND panes[3] = {};
    kivo::ui::AnchoredLayout layout{parent.hwnd()};

    SplitterWindow()
    {
        splitter.create(parent.hwnd(), RECT{0, 0, 300, 400}, 77);
        for (int i = 0; i < 3; ++i)
            panes[i] = kivo::ui::create_control("BUTTON", WS_VISIBLE | BS_PUSHBUTTON, splitter.hwnd(), 100 + i,
                                                RECT{0, 0, 10, 10}, "pane");
        splitter.set_panes(panes[0], panes[1], panes[2]);
        splitter.set_pane_heights({100, 0, 80});
        layout.add(splitter.hwnd(), kivo::layout::kAnchorAll);
        parent.on_size = [this](int w, int h) { layout.apply(w, h); };
    }

    int height_of(int pane) const
    {
        RECT r = rect_in_parent(panes[pane]);
        return r.bottom - r.top;
    }
    int top_of(int pane) const { return rect_in_parent(panes[pane]).top; }

    void mouse(UINT message, int y) const
    {
        SendMessageA(splitter.hwnd(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                     MAKELPARAM(20, static_cast<WORD>(static_cast<short>(y))));
    }
};

}  // namespace

TEST_CASE("a splitter lays its three panes out with the stored heights")
{
    SplitterWindow w;
    CHECK(w.splitter.pane_heights() == PaneHeights{100, 208, 80});
    CHECK(rect_in_parent(w.panes[0]) == RECT{0, 0, 300, 100});
    CHECK(rect_in_parent(w.panes[1]) == RECT{0, 106, 300, 314});
    CHECK(rect_in_parent(w.panes[2]) == RECT{0, 320, 300, 400});
}

TEST_CASE("dragging a bar with the mouse moves the panes next to it")
{
    SplitterWindow w;

    SUBCASE("the lower bar, within bounds and beyond them")
    {
        w.mouse(WM_LBUTTONDOWN, 316);
        CHECK(GetCapture() == w.splitter.hwnd());
        w.mouse(WM_MOUSEMOVE, 276);
        CHECK(w.height_of(1) == 168);
        CHECK(w.height_of(2) == 120);
        CHECK(w.top_of(2) == 280);
        CHECK(w.height_of(0) == 100);
        // Far past the top: the middle pane stops at its minimum.
        w.mouse(WM_MOUSEMOVE, -500);
        CHECK(w.height_of(1) == 40);
        CHECK(w.height_of(2) == 248);
        w.mouse(WM_LBUTTONUP, 296);
        CHECK(GetCapture() != w.splitter.hwnd());
        CHECK(w.splitter.pane_heights() == PaneHeights{100, 188, 100});
        // The button is up: moving the mouse changes nothing.
        w.mouse(WM_MOUSEMOVE, 200);
        CHECK(w.splitter.pane_heights() == PaneHeights{100, 188, 100});
    }
    SUBCASE("the upper bar")
    {
        w.mouse(WM_LBUTTONDOWN, 103);
        w.mouse(WM_MOUSEMOVE, 1000);
        w.mouse(WM_LBUTTONUP, 1000);
        CHECK(w.splitter.pane_heights() == PaneHeights{268, 40, 80});
        CHECK(w.top_of(1) == 274);
    }
    SUBCASE("a press on no bar starts no drag")
    {
        // y 50 is inside the top pane's area, which the splitter only sees
        // where no pane covers it; sent directly it must still do nothing.
        w.mouse(WM_LBUTTONDOWN, 50);
        w.mouse(WM_MOUSEMOVE, 150);
        w.mouse(WM_LBUTTONUP, 150);
        CHECK(w.splitter.pane_heights() == PaneHeights{100, 208, 80});
        CHECK(GetCapture() != w.splitter.hwnd());
    }
    SUBCASE("losing the mouse to another window ends the drag")
    {
        w.mouse(WM_LBUTTONDOWN, 316);
        w.mouse(WM_MOUSEMOVE, 306);
        SetCapture(w.parent.hwnd());
        w.mouse(WM_MOUSEMOVE, 200);
        CHECK(w.splitter.pane_heights() == PaneHeights{100, 198, 90});
        ReleaseCapture();
    }
}

TEST_CASE("resizing the parent keeps the panes within bounds and the chosen heights for later")
{
    SplitterWindow w;
    w.parent.resize_client(300, 200);
    CHECK(rect_in_parent(w.splitter.hwnd()) == RECT{0, 0, 300, 200});
    // 188 for the panes: the middle one gives way first, then the bottom one.
    CHECK(w.splitter.pane_heights() == PaneHeights{100, 40, 48});
    CHECK(w.top_of(2) == 152);
    CHECK(rect_in_parent(w.panes[2]).bottom == 200);

    w.parent.resize_client(250, 60);
    const PaneHeights small = w.splitter.pane_heights();
    CHECK(small[0] + small[1] + small[2] <= 48);
    for (int h : small)
        CHECK(h >= 0);

    w.parent.resize_client(300, 500);
    CHECK(w.splitter.pane_heights() == PaneHeights{100, 308, 80});
    CHECK(rect_in_parent(w.panes[1]).right == 300);
}

TEST_CASE("a pane destroyed by its owner does not keep the others from moving")
{
    SplitterWindow w;
    DestroyWindow(w.panes[1]);
    w.parent.resize_client(360, 500);
    CHECK(rect_in_parent(w.panes[0]) == RECT{0, 0, 360, 100});
    CHECK(rect_in_parent(w.panes[2]) == RECT{0, 420, 360, 500});
}

TEST_CASE("the panes' commands, notifications and owner-drawn rows reach the splitter's parent")
{
    SplitterWindow w;
    SendMessageA(w.panes[1], BM_CLICK, 0, 0);
    REQUIRE(!w.parent.commands.empty());
    CHECK(w.parent.commands.back().id == 101);
    CHECK(w.parent.commands.back().code == BN_CLICKED);

    // A list that draws its rows itself asks its parent, which is the
    // splitter; the window that knows the rows is the splitter's parent.
    kivo::ui::ListView list(kivo::ui::create_control(WC_LISTVIEWA, WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED,
                                                     w.splitter.hwnd(), 1051, RECT{0, 0, 10, 10}));
    w.splitter.set_panes(w.panes[0], list.hwnd(), w.panes[2]);
    list.insert_column(0, "From", 100);
    list.add_item("row");
    RedrawWindow(list.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    CHECK(!w.parent.notify_codes.empty());
    REQUIRE(!w.parent.drawn_items.empty());
    CHECK(w.parent.drawn_items.front() == 0);
}
