#include "ui/error_box.h"

#include <cstdio>

#include "message_ids.h"
#include "platform/message_text.h"

namespace kivo::ui {
namespace {
constexpr std::uint32_t kUnexpected = 0x8000FFFF;  // E_UNEXPECTED
}

MessageBoxContent message_box_content(std::uint32_t id, UINT style, const std::vector<std::string>& inserts)
{
    MessageBoxContent box;
    if (!platform::find_message_text(id, box.text, inserts) &&
        !platform::find_message_text(kUnexpected, box.text)) {
        // Not even the system has that text (Wine has none for E_UNEXPECTED):
        // say so with the number rather than show an empty box.
        char number[32];
        std::snprintf(number, sizeof number, "(0x%08lX)", static_cast<unsigned long>(id));
        box.text = platform::message_text(MSG_UNEXPECTED_ERROR);
        box.text += box.text.empty() ? number : std::string(" ") + number;
    }
    box.caption = platform::message_text(MSG_WARNING_CAPTION);
    if ((style & MB_ICONMASK) == 0)
        style |= (id & 0x80000000u) ? MB_ICONSTOP : MB_ICONINFORMATION;
    box.style = style;
    return box;
}

int report_message(std::uint32_t id, UINT style, HWND owner, const std::vector<std::string>& inserts)
{
    try {
        MessageBoxContent box = message_box_content(id, style, inserts);
        if (!owner)
            owner = GetActiveWindow();
        return MessageBoxA(owner, box.text.c_str(), box.caption.c_str(), box.style);
    } catch (...) {
        // Out of memory while building the texts: the reporter itself must
        // not fail its caller.
        return 0;
    }
}

}  // namespace kivo::ui
