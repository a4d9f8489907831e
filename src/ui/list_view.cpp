#include "ui/list_view.h"

#include "ui/text_buffer.h"

namespace kivo::ui {
namespace {

char* text_param(const std::string& text)
{
    // The control only reads what it is given to set.
    return const_cast<char*>(text.c_str());
}

}  // namespace

int ListView::insert_column(int at, const std::string& title, int width, int format) const
{
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = text_param(title);
    column.iSubItem = at;
    return static_cast<int>(send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&column)));
}

void ListView::delete_all_columns() const
{
    for (int left = column_count(); left > 0; --left)
        if (!delete_column(0))
            break;
}

std::string ListView::column_title(int at) const
{
    return read_growing_text([&](char* buffer, int capacity) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT;
        column.pszText = buffer;
        column.cchTextMax = capacity;
        send(LVM_GETCOLUMNA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&column));
    });
}

int ListView::column_format(int at) const
{
    LVCOLUMNA column{};
    column.mask = LVCF_FMT;
    if (!send(LVM_GETCOLUMNA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&column)))
        return -1;
    return column.fmt;
}

std::vector<int> ListView::column_order() const
{
    std::vector<int> order(static_cast<std::size_t>(column_count()));
    if (order.empty() ||
        !send(LVM_GETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data())))
        return {};
    return order;
}

int ListView::insert_item(int at, const std::string& text, int image, LPARAM data) const
{
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = at;
    item.pszText = text_param(text);
    item.iImage = image;
    item.lParam = data;
    return static_cast<int>(send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool ListView::set_item_text(int item, int sub_item, const std::string& text) const
{
    LVITEMA lv{};
    lv.iSubItem = sub_item;
    lv.pszText = text_param(text);
    return send(LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv)) != FALSE;
}

std::string ListView::item_text(int item, int sub_item) const
{
    return read_growing_text([&](char* buffer, int capacity) {
        LVITEMA lv{};
        lv.iSubItem = sub_item;
        lv.pszText = buffer;
        lv.cchTextMax = capacity;
        send(LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
    });
}

bool ListView::set_item_image(int item, int sub_item, int image) const
{
    LVITEMA lv{};
    lv.mask = LVIF_IMAGE;
    lv.iItem = item;
    lv.iSubItem = sub_item;
    lv.iImage = image;
    return send(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&lv)) != FALSE;
}

int ListView::item_image(int item, int sub_item) const
{
    LVITEMA lv{};
    lv.mask = LVIF_IMAGE;
    lv.iItem = item;
    lv.iSubItem = sub_item;
    if (!send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv)))
        return kNoImage;
    return lv.iImage;
}

bool ListView::set_item_data(int item, LPARAM data) const
{
    LVITEMA lv{};
    lv.mask = LVIF_PARAM;
    lv.iItem = item;
    lv.lParam = data;
    return send(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&lv)) != FALSE;
}

LPARAM ListView::item_data(int item) const
{
    LVITEMA lv{};
    lv.mask = LVIF_PARAM;
    lv.iItem = item;
    if (!send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv)))
        return 0;
    return lv.lParam;
}

int ListView::find_item_data(LPARAM data) const
{
    LVFINDINFOA find{};
    find.flags = LVFI_PARAM;
    find.lParam = data;
    return static_cast<int>(send(LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

void ListView::set_item_state(int item, UINT state, UINT mask) const
{
    LVITEMA lv{};
    lv.state = state;
    lv.stateMask = mask;
    send(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
}

std::vector<int> ListView::selected_items() const
{
    std::vector<int> items;
    for (int i = next_item(-1, LVNI_SELECTED); i >= 0; i = next_item(i, LVNI_SELECTED))
        items.push_back(i);
    return items;
}

RECT ListView::item_rect(int item, int code) const
{
    RECT r{};
    r.left = code;
    if (!send(LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r)))
        return RECT{};
    return r;
}

RECT ListView::sub_item_rect(int item, int sub_item, int code) const
{
    RECT r{};
    r.top = sub_item;
    r.left = code;
    if (!send(LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r)))
        return RECT{};
    return r;
}

int ListView::hit_test(POINT at, int* sub_item) const
{
    LVHITTESTINFO info{};
    info.pt = at;
    int item = static_cast<int>(send(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    if (sub_item)
        *sub_item = item >= 0 ? info.iSubItem : -1;
    return item;
}

}  // namespace kivo::ui
