#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/control.h"

namespace kivo::ui {

// A status bar with one or more parts.
class StatusBar : public Control {
public:
    using Control::Control;

    // The right edges of the parts; -1 runs the last one to the end.
    bool set_parts(const std::vector<int>& right_edges) const
    {
        return send(SB_SETPARTS, right_edges.size(), reinterpret_cast<LPARAM>(right_edges.data())) != FALSE;
    }
    int part_count() const { return static_cast<int>(send(SB_GETPARTS, 0, 0)); }
    bool set_part_text(int part, const std::string& text) const
    {
        return send(SB_SETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.c_str())) != FALSE;
    }
    std::string part_text(int part) const;
    // One part across the whole bar (menu help) or the parts again.
    void set_simple(bool on) const { send(SB_SIMPLE, on ? TRUE : FALSE); }
    // Passes the parent's new size on (the bar places itself at the bottom).
    void parent_resized() const { send(WM_SIZE); }
    int height() const
    {
        RECT r = rect_in_parent();
        return r.bottom - r.top;
    }
};

}  // namespace kivo::ui
