#include "ui/subclass.h"

#include <commctrl.h>

#include <system_error>

#include "ui/callback_guard.h"

namespace kivo::ui {

Subclass::Subclass(HWND hwnd, Handler handler) : hwnd_(hwnd), handler_(std::move(handler))
{
    if (!hwnd_ || !SetWindowSubclass(hwnd_, &Subclass::procedure, reinterpret_cast<UINT_PTR>(this),
                                     reinterpret_cast<DWORD_PTR>(this))) {
        hwnd_ = nullptr;
        throw std::system_error(ERROR_INVALID_WINDOW_HANDLE, std::system_category(), "SetWindowSubclass");
    }
}

Subclass::~Subclass()
{
    remove();
}

void Subclass::remove()
{
    if (hwnd_) {
        RemoveWindowSubclass(hwnd_, &Subclass::procedure, reinterpret_cast<UINT_PTR>(this));
        hwnd_ = nullptr;
    }
}

LRESULT Subclass::next(UINT message, WPARAM wparam, LPARAM lparam)
{
    return DefSubclassProc(hwnd_, message, wparam, lparam);
}

LRESULT CALLBACK Subclass::procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                     DWORD_PTR data)
{
    auto* self = reinterpret_cast<Subclass*>(data);
    LRESULT result = 0;
    if (self->handler_) {
        try {
            result = self->handler_(*self, message, wparam, lparam);
        } catch (...) {
            park_exception(std::current_exception());
            result = 0;
        }
    } else {
        result = DefSubclassProc(hwnd, message, wparam, lparam);
    }
    // The window is going: nothing may call into this object for it again.
    if (message == WM_NCDESTROY && self->hwnd_ == hwnd)
        self->remove();
    return result;
}

}  // namespace kivo::ui
