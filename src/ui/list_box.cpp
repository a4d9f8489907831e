#include "ui/list_box.h"

namespace kivo::ui {

std::string ListBox::item_text(int at) const
{
    LRESULT length = send(LB_GETTEXTLEN, static_cast<WPARAM>(at));
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    LRESULT copied = send(LB_GETTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

std::vector<int> ListBox::selected_rows() const
{
    LRESULT count = send(LB_GETSELCOUNT);
    if (count <= 0)
        return {};
    std::vector<int> rows(static_cast<std::size_t>(count));
    LRESULT got = send(LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(rows.data()));
    rows.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return rows;
}

}  // namespace kivo::ui
