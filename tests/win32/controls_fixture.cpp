#include "controls_fixture.h"

#include "ui/framework.h"

namespace kivo::test {
namespace {

ui::WindowClass& test_class()
{
    static ui::WindowClass wc(GetModuleHandleA(nullptr));
    return wc;
}

}  // namespace

TestParent::TestParent(int width, int height)
{
    ui::initialise_framework();
    CreateArgs args;
    args.title = "controls test";
    args.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    args.x = 10;
    args.y = 10;
    args.width = width;
    args.height = height;
    create(test_class(), args);
    ShowWindow(hwnd(), SW_SHOWNA);
    resize_client(width, height);
}

void TestParent::resize_client(int width, int height)
{
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(hwnd(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(hwnd(), GWL_EXSTYLE)));
    SetWindowPos(hwnd(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TestParent::handle_message(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_COMMAND:
        commands.push_back({LOWORD(wparam), HIWORD(wparam)});
        return 0;
    case WM_NOTIFY:
        notify_codes.push_back(reinterpret_cast<NMHDR*>(lparam)->code);
        break;
    case WM_DRAWITEM:
        drawn_items.push_back(static_cast<int>(reinterpret_cast<DRAWITEMSTRUCT*>(lparam)->itemID));
        return TRUE;
    case WM_SIZE:
        if (on_size)
            on_size(LOWORD(lparam), HIWORD(lparam));
        return 0;
    default:
        break;
    }
    return default_handling(message, wparam, lparam);
}

RECT rect_in_parent(HWND child)
{
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace kivo::test
