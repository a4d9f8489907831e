#pragma once
#include <utility>

#include "ui/control.h"

namespace kivo::ui {

// An edit control.
class Edit : public Control {
public:
    using Control::Control;

    void set_limit(int characters) const { send(EM_SETLIMITTEXT, static_cast<WPARAM>(characters)); }
    int limit() const { return static_cast<int>(send(EM_GETLIMITTEXT)); }
    void select(int start, int end) const { send(EM_SETSEL, static_cast<WPARAM>(start), end); }
    void select_all() const { select(0, -1); }
    std::pair<int, int> selection() const
    {
        DWORD start = 0, end = 0;
        send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {static_cast<int>(start), static_cast<int>(end)};
    }
    void replace_selection(const char* text, bool can_undo = true) const
    {
        send(EM_REPLACESEL, can_undo ? TRUE : FALSE, reinterpret_cast<LPARAM>(text));
    }
    void set_read_only(bool on) const { send(EM_SETREADONLY, on ? TRUE : FALSE); }
    bool is_modified() const { return send(EM_GETMODIFY) != 0; }
    void set_modified(bool on) const { send(EM_SETMODIFY, on ? TRUE : FALSE); }
    int line_count() const { return static_cast<int>(send(EM_GETLINECOUNT)); }
    int first_visible_line() const { return static_cast<int>(send(EM_GETFIRSTVISIBLELINE)); }
    void scroll_lines(int lines) const { send(EM_LINESCROLL, 0, lines); }
};

}  // namespace kivo::ui
