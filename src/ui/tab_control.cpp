#include "ui/tab_control.h"

#include "ui/text_buffer.h"

namespace kivo::ui {

int TabControl::insert(int at, const std::string& text) const
{
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(text.c_str());
    return static_cast<int>(send(TCM_INSERTITEMA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&item)));
}

std::string TabControl::item_text(int at) const
{
    return read_growing_text([&](char* buffer, int capacity) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = buffer;
        item.cchTextMax = capacity;
        send(TCM_GETITEMA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&item));
    });
}

}  // namespace kivo::ui
