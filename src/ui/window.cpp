#include "ui/window.h"

#include <system_error>

#include "ui/callback_guard.h"
#include "ui/window_class.h"

namespace kivo::ui {

Window::~Window()
{
    destroy();
}

void Window::create(const WindowClass& window_class, const CreateArgs& args)
{
    HWND hwnd = CreateWindowExA(args.ex_style, window_class.name(), args.title, args.style, args.x, args.y,
                                args.width, args.height, args.parent, args.menu, window_class.module(), this);
    DWORD error = GetLastError();
    rethrow_parked_exception();
    if (!hwnd)
        throw std::system_error(static_cast<int>(error), std::system_category(), "CreateWindowEx");
}

void Window::destroy()
{
    if (hwnd_)
        DestroyWindow(hwnd_);
}

namespace {
Window* bound_object(HWND hwnd)
{
    return reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, 0));
}
}  // namespace

Window* Window::from_handle(HWND hwnd)
{
    // Only our classes keep an object pointer in their extra bytes; another
    // class's extra bytes mean something else.
    if (!hwnd || GetClassLongPtrA(hwnd, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(&Window::window_proc))
        return nullptr;
    return bound_object(hwnd);
}

WNDPROC Window::procedure()
{
    return &Window::window_proc;
}

LRESULT Window::handle_message(UINT message, WPARAM wparam, LPARAM lparam)
{
    return default_handling(message, wparam, lparam);
}

LRESULT Window::default_handling(UINT message, WPARAM wparam, LPARAM lparam)
{
    return DefWindowProcA(hwnd_, message, wparam, lparam);
}

LRESULT CALLBACK Window::window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = bound_object(hwnd);
    }
    // A few messages (WM_GETMINMAXINFO) arrive before the binding.
    if (!self)
        return DefWindowProcA(hwnd, message, wparam, lparam);

    LRESULT result = 0;
    try {
        result = self->handle_message(message, wparam, lparam);
    } catch (...) {
        park_exception(std::current_exception());
        // Refuse a creation that failed half way; otherwise report "handled".
        if (message == WM_NCCREATE)
            result = FALSE;
        else if (message == WM_CREATE)
            result = -1;
        else
            result = 0;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, 0, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

}  // namespace kivo::ui
