#pragma once
#include <string>

#include "ui/control.h"

namespace kivo::ui {

// A combo box. Indexes are those of its list; -1 (CB_ERR) means none.
class ComboBox : public Control {
public:
    using Control::Control;

    int add(const std::string& text) const { return index(send(CB_ADDSTRING, 0, text_param(text))); }
    int insert(int at, const std::string& text) const
    {
        return index(send(CB_INSERTSTRING, static_cast<WPARAM>(at), text_param(text)));
    }
    void remove(int at) const { send(CB_DELETESTRING, static_cast<WPARAM>(at)); }
    void clear() const { send(CB_RESETCONTENT); }
    int count() const { return index(send(CB_GETCOUNT)); }

    int selection() const { return index(send(CB_GETCURSEL)); }
    // -1 clears the selection.
    void select(int at) const { send(CB_SETCURSEL, static_cast<WPARAM>(at)); }
    int find_exact(const std::string& text, int after = -1) const
    {
        return index(send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(after), text_param(text)));
    }

    // The whole text of an item; empty for an index that does not exist.
    std::string item_text(int at) const;
    LPARAM item_data(int at) const { return send(CB_GETITEMDATA, static_cast<WPARAM>(at)); }
    void set_item_data(int at, LPARAM data) const { send(CB_SETITEMDATA, static_cast<WPARAM>(at), data); }

    void set_edit_limit(int characters) const { send(CB_LIMITTEXT, static_cast<WPARAM>(characters)); }
    void show_dropdown(bool on) const { send(CB_SHOWDROPDOWN, on ? TRUE : FALSE); }

private:
    static LPARAM text_param(const std::string& text) { return reinterpret_cast<LPARAM>(text.c_str()); }
    static int index(LRESULT result) { return result < 0 ? -1 : static_cast<int>(result); }
};

}  // namespace kivo::ui
