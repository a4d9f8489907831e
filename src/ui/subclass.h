#pragma once
#include <windows.h>

#include <functional>

namespace kivo::ui {

// Sees the messages of a control that some other code created (a list
// view's header, a tab control, an edit in a combo box) before its own
// window procedure does. Installed by the constructor, removed by the
// destructor or when the window is destroyed, whichever comes first.
// An exception from the handler is parked (ui/callback_guard.h) and the
// message then counts as handled with result 0.
class Subclass {
public:
    // Returns the message's result; self.next(...) runs the control's own
    // handling (and that of any subclass installed before this one).
    using Handler = std::function<LRESULT(Subclass& self, UINT message, WPARAM wparam, LPARAM lparam)>;

    // Throws std::system_error when the window cannot be subclassed.
    Subclass(HWND hwnd, Handler handler);
    ~Subclass();
    Subclass(const Subclass&) = delete;
    Subclass& operator=(const Subclass&) = delete;

    HWND hwnd() const { return hwnd_; }
    bool attached() const { return hwnd_ != nullptr; }
    LRESULT next(UINT message, WPARAM wparam, LPARAM lparam);
    // Stops seeing messages; safe from inside the handler and more than once.
    void remove();

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                      DWORD_PTR data);
    HWND hwnd_;
    Handler handler_;
};

}  // namespace kivo::ui
