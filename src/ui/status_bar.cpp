#include "ui/status_bar.h"

namespace kivo::ui {

std::string StatusBar::part_text(int part) const
{
    LRESULT result = send(SB_GETTEXTLENGTHA, static_cast<WPARAM>(part));
    std::size_t length = LOWORD(result);
    if (length == 0)
        return {};
    std::string text(length + 1, '\0');
    send(SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

}  // namespace kivo::ui
