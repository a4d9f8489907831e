#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ui/control.h"

namespace kivo::ui {

// A tab control; -1 means no tab.
class TabControl : public Control {
public:
    using Control::Control;

    int insert(int at, const std::string& text) const;
    int add(const std::string& text) const { return insert(count(), text); }
    bool remove(int at) const { return send(TCM_DELETEITEM, static_cast<WPARAM>(at)) != FALSE; }
    void clear() const { send(TCM_DELETEALLITEMS); }
    int count() const { return static_cast<int>(send(TCM_GETITEMCOUNT)); }
    int selection() const { return static_cast<int>(send(TCM_GETCURSEL)); }
    // Returns the previous tab; the parent gets no TCN_SELCHANGE for it.
    int select(int at) const { return static_cast<int>(send(TCM_SETCURSEL, static_cast<WPARAM>(at))); }
    std::string item_text(int at) const;
    // The area the pages go in, for a control whose window is at `window`
    // (both in the parent's coordinates).
    RECT display_rect(RECT window) const
    {
        send(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&window));
        return window;
    }
};

}  // namespace kivo::ui
