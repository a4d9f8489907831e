#include <doctest/doctest.h>

#include <stdexcept>
#include <vector>

#include "ui/callback_guard.h"
#include "ui/message_loop.h"
#include "ui/window.h"
#include "ui/window_class.h"

using kivo::ui::Window;
using kivo::ui::WindowClass;

namespace {

constexpr UINT kThrow = WM_APP + 1;
constexpr UINT kAnswer = WM_APP + 2;

// Records the messages it gets and what it saw of itself when they came.
class Recorder : public Window {
public:
    UINT throw_on = 0;
    std::vector<UINT> messages;
    HWND hwnd_at_create = nullptr;
    Window* bound_at_create = nullptr;

    ~Recorder() override { destroy(); }

protected:
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override
    {
        messages.push_back(message);
        if (message == throw_on)
            throw std::runtime_error("handler failed");
        if (message == WM_CREATE) {
            hwnd_at_create = hwnd();
            bound_at_create = from_handle(hwnd());
        }
        if (message == kAnswer)
            return 42;
        return default_handling(message, wparam, lparam);
    }
};

bool contains(const std::vector<UINT>& list, UINT message)
{
    for (UINT m : list)
        if (m == message)
            return true;
    return false;
}

Window::CreateArgs small_window()
{
    Window::CreateArgs args;
    args.title = "test window";
    args.width = 200;
    args.height = 100;
    return args;
}

}  // namespace

TEST_CASE("a window's object gets its messages from creation to destruction")
{
    WindowClass wc(GetModuleHandleA(nullptr));
    Recorder window;
    window.create(wc, small_window());
    HWND hwnd = window.hwnd();
    REQUIRE(hwnd);
    CHECK(window.hwnd_at_create == hwnd);
    CHECK(window.bound_at_create == &window);
    CHECK(Window::from_handle(hwnd) == &window);
    // Other classes' windows are never taken for ours, whatever their extra
    // bytes hold.
    HWND button = CreateWindowExA(0, "BUTTON", "b", WS_CHILD, 0, 0, 10, 10, hwnd, nullptr, nullptr, nullptr);
    REQUIRE(button);
    SetWindowLongPtrA(button, 0, reinterpret_cast<LONG_PTR>(&window));
    CHECK(Window::from_handle(button) == nullptr);
    CHECK(Window::from_handle(nullptr) == nullptr);
    CHECK(contains(window.messages, WM_NCCREATE));
    CHECK(SendMessageA(hwnd, kAnswer, 0, 0) == 42);

    window.destroy();
    CHECK(window.hwnd() == nullptr);
    CHECK(!IsWindow(hwnd));
    CHECK(contains(window.messages, WM_DESTROY));
    CHECK(window.messages.back() == WM_NCDESTROY);
}

TEST_CASE("an object that goes takes its window with it")
{
    WindowClass wc(GetModuleHandleA(nullptr));
    HWND hwnd = nullptr;
    {
        Recorder window;
        window.create(wc, small_window());
        hwnd = window.hwnd();
        REQUIRE(IsWindow(hwnd));
    }
    CHECK(!IsWindow(hwnd));
}

TEST_CASE("exceptions never cross the window procedure but still reach the caller")
{
    WindowClass wc(GetModuleHandleA(nullptr));

    SUBCASE("a handler that throws during creation makes create throw and leaves no window")
    {
        Recorder window;
        window.throw_on = WM_CREATE;
        CHECK_THROWS_WITH_AS(window.create(wc, small_window()), "handler failed", std::runtime_error);
        CHECK(window.hwnd() == nullptr);
        CHECK(!kivo::ui::has_parked_exception());
    }
    SUBCASE("a handler that throws in the message loop ends the loop with that exception")
    {
        Recorder window;
        window.throw_on = kThrow;
        window.create(wc, small_window());
        PostMessageA(window.hwnd(), kThrow, 0, 0);
        CHECK_THROWS_WITH_AS(kivo::ui::run_message_loop(), "handler failed", std::runtime_error);
        CHECK(!kivo::ui::has_parked_exception());
        // The window survives and still works.
        CHECK(SendMessageA(window.hwnd(), kAnswer, 0, 0) == 42);
    }
}

TEST_CASE("the message loop returns the quit code")
{
    PostQuitMessage(7);
    CHECK(kivo::ui::run_message_loop() == 7);
}

TEST_CASE("window classes get names of their own and are unregistered when they go")
{
    HINSTANCE module = GetModuleHandleA(nullptr);
    std::string first_name;
    {
        WindowClass first(module);
        WindowClass second(module);
        first_name = first.name();
        CHECK(first_name != second.name());
        WNDCLASSEXA info{};
        info.cbSize = sizeof(info);
        CHECK(GetClassInfoExA(module, first.name(), &info));
        CHECK(info.cbWndExtra >= static_cast<int>(sizeof(LONG_PTR)));
    }
    WNDCLASSEXA info{};
    info.cbSize = sizeof(info);
    CHECK(!GetClassInfoExA(module, first_name.c_str(), &info));
}
