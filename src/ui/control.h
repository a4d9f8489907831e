#pragma once
#include <windows.h>

#include <string>

namespace kivo::ui {

// A non-owning view of a child control: one-line calls over its HWND. The
// control belongs to its parent window; copies of the view are free.
class Control {
public:
    Control() = default;
    explicit Control(HWND hwnd) : hwnd_(hwnd) {}
    // The control with this id in a dialog or other parent.
    Control(HWND parent, int id) : hwnd_(GetDlgItem(parent, id)) {}

    void attach(HWND hwnd) { hwnd_ = hwnd; }
    HWND hwnd() const { return hwnd_; }
    explicit operator bool() const { return hwnd_ != nullptr; }

    LRESULT send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const
    {
        return SendMessageA(hwnd_, message, wparam, lparam);
    }

    std::string text() const;
    bool set_text(const std::string& text) const { return SetWindowTextA(hwnd_, text.c_str()) != FALSE; }

    void enable(bool on = true) const { EnableWindow(hwnd_, on ? TRUE : FALSE); }
    bool is_enabled() const { return IsWindowEnabled(hwnd_) != FALSE; }
    void show(int command = SW_SHOW) const { ShowWindow(hwnd_, command); }
    bool is_visible() const { return IsWindowVisible(hwnd_) != FALSE; }
    void focus() const { SetFocus(hwnd_); }
    int id() const { return GetDlgCtrlID(hwnd_); }

    void set_font(HFONT font, bool redraw = true) const
    {
        send(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
    }
    HFONT font() const { return reinterpret_cast<HFONT>(send(WM_GETFONT)); }

    // The control's rectangle in its parent's client coordinates.
    RECT rect_in_parent() const;
    RECT client_rect() const;
    bool move(const RECT& to, bool repaint = true) const
    {
        return MoveWindow(hwnd_, to.left, to.top, to.right - to.left, to.bottom - to.top, repaint) != FALSE;
    }

protected:
    HWND hwnd_ = nullptr;
};

// Creates a child control; throws std::system_error when Windows refuses.
HWND create_control(const char* class_name, DWORD style, HWND parent, int id, const RECT& at,
                    const char* text = "", DWORD ex_style = 0);

}  // namespace kivo::ui
