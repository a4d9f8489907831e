#include <doctest/doctest.h>

#include "app/main_window.h"
#include "ui/message_loop.h"

using kivo::app::MainWindow;

TEST_CASE("the main window: its title, its icons, and closing it ends the message loop")
{
    MainWindow window(GetModuleHandleA(nullptr));
    window.create();
    HWND hwnd = window.hwnd();
    REQUIRE(hwnd);

    char title[64] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    CHECK(std::string(title) == "Kivo Email Checker");
    CHECK(GetParent(hwnd) == nullptr);
    CHECK(!IsWindowVisible(hwnd));  // shown by the caller, not by create
    CHECK(FindWindowA(nullptr, "Kivo Email Checker") == hwnd);
    CHECK(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0) != 0);
    CHECK(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0) != 0);

    ShowWindow(hwnd, SW_SHOW);
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    CHECK(kivo::ui::run_message_loop() == 0);
    CHECK(!IsWindow(hwnd));
    CHECK(window.hwnd() == nullptr);
}
