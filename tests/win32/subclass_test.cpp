#include <doctest/doctest.h>

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "controls_fixture.h"
#include "ui/callback_guard.h"
#include "ui/control.h"
#include "ui/subclass.h"

using kivo::test::TestParent;
using kivo::ui::Subclass;

namespace {

void type(HWND edit, const char* text)
{
    for (const char* c = text; *c; ++c)
        SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(*c), 1);
}

}  // namespace

TEST_CASE("a subclass sees a control's messages first and leaves cleanly")
{
    TestParent parent;
    kivo::ui::Control edit(kivo::ui::create_control("EDIT", WS_VISIBLE, parent.hwnd(), 1, RECT{10, 10, 200, 30}));
    std::vector<WPARAM> chars;
    auto swallow_x = [&](Subclass& self, UINT message, WPARAM wparam, LPARAM lparam) -> LRESULT {
        if (message == WM_CHAR) {
            chars.push_back(wparam);
            if (wparam == 'x')
                return 0;
        }
        return self.next(message, wparam, lparam);
    };

    SUBCASE("it filters while it is there, and the control is as before once it is gone")
    {
        {
            Subclass filter(edit.hwnd(), swallow_x);
            CHECK(filter.attached());
            type(edit.hwnd(), "axb");
            CHECK(edit.text() == "ab");
            CHECK(chars.size() == 3);
        }
        type(edit.hwnd(), "x");
        CHECK(edit.text() == "abx");
        CHECK(chars.size() == 3);
    }
    SUBCASE("remove works from inside the handler and more than once")
    {
        int seen = 0;
        Subclass once(edit.hwnd(), [&](Subclass& self, UINT message, WPARAM wparam, LPARAM lparam) -> LRESULT {
            if (message == WM_CHAR) {
                ++seen;
                LRESULT result = self.next(message, wparam, lparam);
                self.remove();
                return result;
            }
            return self.next(message, wparam, lparam);
        });
        type(edit.hwnd(), "pq");
        CHECK(seen == 1);
        CHECK(!once.attached());
        CHECK(edit.text() == "pq");
        once.remove();
    }
    SUBCASE("a window destroyed under its subclass detaches it")
    {
        bool saw_destroy = false;
        Subclass watcher(edit.hwnd(), [&](Subclass& self, UINT message, WPARAM wparam, LPARAM lparam) -> LRESULT {
            if (message == WM_DESTROY)
                saw_destroy = true;
            return self.next(message, wparam, lparam);
        });
        DestroyWindow(edit.hwnd());
        CHECK(saw_destroy);
        CHECK(!watcher.attached());
    }
    SUBCASE("an exception from the handler is parked, not thrown through the control")
    {
        Subclass thrower(edit.hwnd(), [&](Subclass& self, UINT message, WPARAM wparam, LPARAM lparam) -> LRESULT {
            if (message == WM_CHAR && wparam == '!')
                throw std::runtime_error("handler failed");
            return self.next(message, wparam, lparam);
        });
        type(edit.hwnd(), "a!");
        CHECK(edit.text() == "a");
        REQUIRE(kivo::ui::has_parked_exception());
        CHECK_THROWS_WITH_AS(kivo::ui::rethrow_parked_exception(), "handler failed", std::runtime_error);
        // The control goes on working.
        type(edit.hwnd(), "b");
        CHECK(edit.text() == "ab");
    }
}
