#pragma once
#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <utility>

#include "ui/control.h"

namespace kivo::ui {

// An up-down control, usually with a buddy edit that shows its number.
class UpDown : public Control {
public:
    using Control::Control;

    void set_range(int low, int high) const { send(UDM_SETRANGE32, static_cast<WPARAM>(low), high); }
    std::pair<int, int> range() const
    {
        int low = 0, high = 0;
        send(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
        return {low, high};
    }
    // Outside the range the control takes the nearest end.
    void set_position(int value) const { send(UDM_SETPOS32, 0, value); }
    // None when the buddy's text is no number in the range.
    std::optional<int> position() const
    {
        BOOL failed = FALSE;
        int value = static_cast<int>(send(UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
        if (failed)
            return std::nullopt;
        return value;
    }
    void set_buddy(HWND buddy) const { send(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy)); }
    HWND buddy() const { return reinterpret_cast<HWND>(send(UDM_GETBUDDY)); }
};

}  // namespace kivo::ui
