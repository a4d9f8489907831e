#include "ui/control.h"

#include <system_error>

namespace kivo::ui {

std::string Control::text() const
{
    // The length may be larger than the text (multi-byte code pages), never
    // smaller.
    int length = GetWindowTextLengthA(hwnd_);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(hwnd_, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

RECT Control::rect_in_parent() const
{
    RECT r{};
    GetWindowRect(hwnd_, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT Control::client_rect() const
{
    RECT r{};
    GetClientRect(hwnd_, &r);
    return r;
}

HWND create_control(const char* class_name, DWORD style, HWND parent, int id, const RECT& at, const char* text,
                    DWORD ex_style)
{
    HWND hwnd = CreateWindowExA(ex_style, class_name, text, style | WS_CHILD, at.left, at.top, at.right - at.left,
                                at.bottom - at.top, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
    if (!hwnd)
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "CreateWindowEx");
    return hwnd;
}

}  // namespace kivo::ui
