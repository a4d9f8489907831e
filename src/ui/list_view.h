#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/header_control.h"

namespace kivo::ui {

// A report-style list view. Items are rows, sub-items their columns (0 is
// the item itself); -1 means no row.
class ListView : public Control {
public:
    using Control::Control;

    // For a row or sub-item that shows no image at all (not image 0).
    static constexpr int kNoImage = I_IMAGENONE;

    DWORD extended_style() const { return static_cast<DWORD>(send(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    void set_extended_style(DWORD mask, DWORD style) const { send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style); }
    // The list borrows the image list, unless created without
    // LVS_SHAREIMAGELISTS, when it destroys it itself. Returns the previous one.
    HIMAGELIST set_image_list(HIMAGELIST list, int which = LVSIL_SMALL) const
    {
        return reinterpret_cast<HIMAGELIST>(
            send(LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(list)));
    }
    HIMAGELIST image_list(int which = LVSIL_SMALL) const
    {
        return reinterpret_cast<HIMAGELIST>(send(LVM_GETIMAGELIST, static_cast<WPARAM>(which)));
    }
    HeaderControl header() const { return HeaderControl(reinterpret_cast<HWND>(send(LVM_GETHEADER))); }

    // Columns. Returns the new column's index, or -1.
    int insert_column(int at, const std::string& title, int width, int format = LVCFMT_LEFT) const;
    bool delete_column(int at) const { return send(LVM_DELETECOLUMN, static_cast<WPARAM>(at)) != FALSE; }
    void delete_all_columns() const;
    int column_count() const { return header().count(); }
    int column_width(int at) const { return static_cast<int>(send(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(at))); }
    bool set_column_width(int at, int width) const
    {
        return send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(at), MAKELPARAM(width, 0)) != FALSE;
    }
    std::string column_title(int at) const;
    // LVCFMT_... flags, or -1 for a column that does not exist.
    int column_format(int at) const;
    // Column indexes in the order they are shown.
    std::vector<int> column_order() const;
    bool set_column_order(const std::vector<int>& order) const
    {
        return send(LVM_SETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data())) != FALSE;
    }

    // Rows. Returns the new row's index, or -1.
    int insert_item(int at, const std::string& text, int image = kNoImage, LPARAM data = 0) const;
    int add_item(const std::string& text, int image = kNoImage, LPARAM data = 0) const
    {
        return insert_item(count(), text, image, data);
    }
    bool delete_item(int item) const { return send(LVM_DELETEITEM, static_cast<WPARAM>(item)) != FALSE; }
    void delete_all_items() const { send(LVM_DELETEALLITEMS); }
    int count() const { return static_cast<int>(send(LVM_GETITEMCOUNT)); }

    bool set_item_text(int item, int sub_item, const std::string& text) const;
    // The whole text, however long.
    std::string item_text(int item, int sub_item = 0) const;
    // Sub-item images need LVS_EX_SUBITEMIMAGES to be shown.
    bool set_item_image(int item, int sub_item, int image) const;
    int item_image(int item, int sub_item = 0) const;
    bool set_item_data(int item, LPARAM data) const;
    LPARAM item_data(int item) const;
    // The row whose data is `data`, or -1.
    int find_item_data(LPARAM data) const;

    // Selection and focus. An item of -1 means every row.
    void set_item_state(int item, UINT state, UINT mask) const;
    UINT item_state(int item, UINT mask) const
    {
        return static_cast<UINT>(send(LVM_GETITEMSTATE, static_cast<WPARAM>(item), mask));
    }
    void select(int item, bool on = true) const { set_item_state(item, on ? LVIS_SELECTED : 0, LVIS_SELECTED); }
    void focus_item(int item) const { set_item_state(item, LVIS_FOCUSED, LVIS_FOCUSED); }
    bool is_selected(int item) const { return item_state(item, LVIS_SELECTED) != 0; }
    int selected_count() const { return static_cast<int>(send(LVM_GETSELECTEDCOUNT)); }
    // The next row after `start` (-1: from the top) with the LVNI_... flags.
    int next_item(int start, UINT flags) const
    {
        return static_cast<int>(send(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
    }
    int first_selected() const { return next_item(-1, LVNI_SELECTED); }
    int focused_item() const { return next_item(-1, LVNI_FOCUSED); }
    std::vector<int> selected_items() const;

    bool ensure_visible(int item, bool partial_ok = false) const
    {
        return send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), partial_ok ? TRUE : FALSE) != FALSE;
    }
    void redraw_items(int first, int last) const { send(LVM_REDRAWITEMS, static_cast<WPARAM>(first), last); }
    int top_index() const { return static_cast<int>(send(LVM_GETTOPINDEX)); }
    int count_per_page() const { return static_cast<int>(send(LVM_GETCOUNTPERPAGE)); }
    // LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL; an empty rectangle for no row.
    RECT item_rect(int item, int code = LVIR_BOUNDS) const;
    RECT sub_item_rect(int item, int sub_item, int code = LVIR_BOUNDS) const;
    // The row (and column, when asked) at a point in client coordinates.
    int hit_test(POINT at, int* sub_item = nullptr) const;
};

}  // namespace kivo::ui
