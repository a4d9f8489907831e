#pragma once
#include <windows.h>

namespace kivo::ui {

class WindowClass;

// The base of every window of the program: one C++ object per HWND. The
// object is bound to its window while it is being created (WM_NCCREATE), and
// from then on the class's window procedure hands every message to
// handle_message. The binding ends with WM_NCDESTROY.
class Window {
public:
    // Extra window bytes reserved by WindowClass for the object pointer.
    static constexpr int kExtraBytes = sizeof(LONG_PTR);

    Window() = default;
    // Destroys the window if it still exists.
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return hwnd_; }

    struct CreateArgs {
        DWORD ex_style = 0;
        const char* title = "";
        DWORD style = WS_OVERLAPPEDWINDOW;
        int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
        int width = CW_USEDEFAULT, height = CW_USEDEFAULT;
        HWND parent = nullptr;
        HMENU menu = nullptr;
    };
    // Creates the window; throws when Windows refuses, or re-raises what a
    // message handler threw during creation.
    void create(const WindowClass& window_class, const CreateArgs& args);
    void destroy();

    // The object bound to a window, or null for a window of another class.
    static Window* from_handle(HWND hwnd);
    static WNDPROC procedure();

protected:
    // Handles one message; the default passes it to DefWindowProc.
    virtual LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT default_handling(UINT message, WPARAM wparam, LPARAM lparam);

private:
    static LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    HWND hwnd_ = nullptr;
};

}  // namespace kivo::ui
