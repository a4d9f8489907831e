#include <doctest/doctest.h>

#include <windows.h>

#include "controls_fixture.h"
#include "ui/timer.h"

using kivo::test::TestParent;

namespace {

// Whether the window has that timer: killing a timer that is not there fails.
// (The check kills it, so it is the last look at a timer.)
bool had_timer(HWND window, UINT_PTR id)
{
    return KillTimer(window, id) != FALSE;
}

bool tick_arrives(HWND window, UINT_PTR id)
{
    // The period is 1 ms; the wait is only a backstop against a hang.
    const DWORD start = GetTickCount();
    MSG msg{};
    while (GetTickCount() - start < 10000) {
        if (PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE))
            return msg.wParam == id;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_TIMER);
    }
    return false;
}

}  // namespace

TEST_CASE("a timer ticks while it runs and is killed with its object")
{
    TestParent window;
    SUBCASE("ticks reach the window with the timer's id")
    {
        kivo::ui::Timer timer;
        timer.start(window.hwnd(), 7, 1);
        CHECK(timer.running());
        CHECK(tick_arrives(window.hwnd(), 7));
    }
    SUBCASE("the destructor kills it")
    {
        {
            kivo::ui::Timer timer;
            timer.start(window.hwnd(), 3, 500);
        }
        CHECK(!had_timer(window.hwnd(), 3));
    }
    SUBCASE("starting it under another id kills the old one; stop is idempotent")
    {
        kivo::ui::Timer timer;
        timer.start(window.hwnd(), 1, 500);
        timer.start(window.hwnd(), 2, 500);
        CHECK(timer.id() == 2);
        CHECK(!had_timer(window.hwnd(), 1));
        timer.stop();
        timer.stop();
        CHECK(!had_timer(window.hwnd(), 2));
    }
}
