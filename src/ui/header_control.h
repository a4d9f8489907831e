#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ui/control.h"

namespace kivo::ui {

enum class SortArrow { none, up, down };

// A header control, mostly the one of a report-style list view. Item
// indexes are header positions as inserted (not display order).
class HeaderControl : public Control {
public:
    using Control::Control;

    int count() const { return static_cast<int>(send(HDM_GETITEMCOUNT)); }
    // HDF_... flags; 0 for an item that does not exist.
    int format(int index) const;
    bool set_format(int index, int format) const;

    // A bitmap beside the item's text (at its right, or its left), or alone
    // when the text is empty; null takes it away. The header only borrows
    // the bitmap: it must live as long as it is shown.
    bool set_bitmap(int index, HBITMAP bitmap, bool on_right = true) const;
    HBITMAP bitmap(int index) const;
    // The themed sort arrow, which needs no bitmap of ours.
    bool set_sort_arrow(int index, SortArrow arrow) const;
    SortArrow sort_arrow(int index) const;

    LPARAM item_data(int index) const;
    bool set_item_data(int index, LPARAM data) const;
    int item_width(int index) const;
    int item_order(int index) const;
    std::string item_text(int index) const;
    RECT item_rect(int index) const;

private:
    bool get(int index, HDITEMA& item) const
    {
        return send(HDM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != FALSE;
    }
    bool set(int index, const HDITEMA& item) const
    {
        return send(HDM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != FALSE;
    }
};

}  // namespace kivo::ui
