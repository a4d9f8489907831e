#pragma once
#include <string>
#include <vector>

#include "ui/control.h"

namespace kivo::ui {

// A list box. Indexes are its rows; -1 (LB_ERR) means none.
class ListBox : public Control {
public:
    using Control::Control;

    int add(const std::string& text) const { return index(send(LB_ADDSTRING, 0, text_param(text))); }
    int insert(int at, const std::string& text) const
    {
        return index(send(LB_INSERTSTRING, static_cast<WPARAM>(at), text_param(text)));
    }
    void remove(int at) const { send(LB_DELETESTRING, static_cast<WPARAM>(at)); }
    void clear() const { send(LB_RESETCONTENT); }
    int count() const { return index(send(LB_GETCOUNT)); }

    // Single-selection lists.
    int selection() const { return index(send(LB_GETCURSEL)); }
    void select(int at) const { send(LB_SETCURSEL, static_cast<WPARAM>(at)); }
    // Multiple-selection lists.
    void set_selected(int at, bool on) const { send(LB_SETSEL, on ? TRUE : FALSE, at); }
    bool is_selected(int at) const { return send(LB_GETSEL, static_cast<WPARAM>(at)) > 0; }
    std::vector<int> selected_rows() const;

    int find_exact(const std::string& text, int after = -1) const
    {
        return index(send(LB_FINDSTRINGEXACT, static_cast<WPARAM>(after), text_param(text)));
    }
    std::string item_text(int at) const;
    LPARAM item_data(int at) const { return send(LB_GETITEMDATA, static_cast<WPARAM>(at)); }
    void set_item_data(int at, LPARAM data) const { send(LB_SETITEMDATA, static_cast<WPARAM>(at), data); }
    int top_row() const { return index(send(LB_GETTOPINDEX)); }
    void set_top_row(int at) const { send(LB_SETTOPINDEX, static_cast<WPARAM>(at)); }

private:
    static LPARAM text_param(const std::string& text) { return reinterpret_cast<LPARAM>(text.c_str()); }
    static int index(LRESULT result) { return result < 0 ? -1 : static_cast<int>(result); }
};

}  // namespace kivo::ui
