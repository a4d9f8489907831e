#pragma once
#include <windows.h>
#include <commctrl.h>

#include <span>

#include "ui/control.h"

namespace kivo::ui {

// A toolbar. Buttons are named by their command ids, positions by index.
class ToolBar : public Control {
public:
    using Control::Control;

    // Once, right after creation, before any button goes in.
    void set_button_struct_size() const { send(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON)); }
    bool set_bitmap_size(int width, int height) const { return send(TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height)) != FALSE; }
    // The toolbar borrows both lists.
    void set_image_list(HIMAGELIST list) const { send(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list)); }
    void set_disabled_image_list(HIMAGELIST list) const
    {
        send(TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
    }
    bool add_buttons(std::span<const TBBUTTON> buttons) const
    {
        return send(TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())) != FALSE;
    }
    int button_count() const { return static_cast<int>(send(TB_BUTTONCOUNT)); }
    // The index of the button with this command, or -1.
    int index_of(int command) const { return static_cast<int>(send(TB_COMMANDTOINDEX, static_cast<WPARAM>(command))); }

    void enable_button(int command, bool on) const
    {
        send(TB_ENABLEBUTTON, static_cast<WPARAM>(command), MAKELPARAM(on ? TRUE : FALSE, 0));
    }
    bool is_button_enabled(int command) const { return send(TB_ISBUTTONENABLED, static_cast<WPARAM>(command)) != 0; }
    void check_button(int command, bool on) const
    {
        send(TB_CHECKBUTTON, static_cast<WPARAM>(command), MAKELPARAM(on ? TRUE : FALSE, 0));
    }
    bool is_button_checked(int command) const { return send(TB_ISBUTTONCHECKED, static_cast<WPARAM>(command)) != 0; }

    // Fits the toolbar to its buttons and its parent's width.
    void auto_size() const { send(TB_AUTOSIZE); }
    RECT button_rect(int index) const
    {
        RECT r{};
        send(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        return r;
    }
    // The width all the buttons need.
    SIZE ideal_size() const
    {
        SIZE size{};
        send(TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
        return size;
    }
    int height() const
    {
        RECT r = rect_in_parent();
        return r.bottom - r.top;
    }
};

}  // namespace kivo::ui
