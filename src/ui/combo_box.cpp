#include "ui/combo_box.h"

namespace kivo::ui {

std::string ComboBox::item_text(int at) const
{
    LRESULT length = send(CB_GETLBTEXTLEN, static_cast<WPARAM>(at));
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    LRESULT copied = send(CB_GETLBTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

}  // namespace kivo::ui
