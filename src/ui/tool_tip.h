#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ui/control.h"

namespace kivo::ui {

// A tooltip control with tools over rectangles of windows or whole windows.
class ToolTip : public Control {
public:
    using Control::Control;

    // Creates a tooltip window owned by `owner` (a popup, not a child).
    static ToolTip create(HWND owner);

    // A tool for a rectangle of `window` (client coordinates), named by id.
    bool add_tool(HWND window, UINT_PTR id, const RECT& area, const std::string& text) const;
    // A tool for all of `window`; the tooltip watches its mouse messages.
    bool add_window_tool(HWND window, const std::string& text) const;
    void remove_tool(HWND window, UINT_PTR id) const;
    void set_tool_text(HWND window, UINT_PTR id, const std::string& text) const;
    int tool_count() const { return static_cast<int>(send(TTM_GETTOOLCOUNT)); }
    void activate(bool on) const { send(TTM_ACTIVATE, on ? TRUE : FALSE); }
    // Lets long texts wrap at this many pixels.
    void set_max_width(int pixels) const { send(TTM_SETMAXTIPWIDTH, 0, pixels); }
};

}  // namespace kivo::ui
