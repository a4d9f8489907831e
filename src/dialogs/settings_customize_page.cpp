// The Customize page: the tray pictures, the main window's font and the
// tray's double-click action.
#include "dialogs/font_apply.h"
#include "dialogs/settings_ids.h"
#include "dialogs/settings_pages.h"
#include "message_ids.h"
#include "platform/message_text.h"
#include "ui/common_dialogs.h"
#include "ui/error_box.h"
#include "ui/handles.h"

namespace kivo::dialogs {
namespace {

// The icon buttons, in slot order.
constexpr int kIconButtons[Settings::kIconSlots] = {IDC_CUSTOMIZE_NORMAL, IDC_CUSTOMIZE_CHECK, IDC_CUSTOMIZE_ERROR,
                                                    IDC_CUSTOMIZE_CHECK_ERROR};

}  // namespace

bool CustomizePage::on_init()
{
    const Settings& settings = *context_.settings;
    font_ = settings.font;
    draw_icons();
    bool pictures = context_.tray != nullptr;
    for (int id : kIconButtons)
        enable(hwnd(), id, pictures);
    enable(hwnd(), IDC_CUSTOMIZE_RESTORE, pictures);
    set_checked(hwnd(),
                settings.double_click == Settings::DoubleClick::check_all ? IDC_CUSTOMIZE_CHECK_ALL : IDC_CUSTOMIZE_OPEN,
                true);
    return true;
}

void CustomizePage::draw_icons()
{
    for (int slot = 0; slot < Settings::kIconSlots; ++slot) {
        HICON icon = context_.tray ? context_.tray->icon(static_cast<Settings::IconSlot>(slot)) : nullptr;
        SendDlgItemMessageA(hwnd(), kIconButtons[slot], BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    }
}

void CustomizePage::choose_icon(Settings::IconSlot slot)
{
    if (!context_.tray)
        return;
    ui::FileRequest request;
    request.filters = {{"*.ico", "*.ico"}, {platform::message_text(MSG_SET_ALL_FILES), "*.*"}};
    std::optional<std::string> chosen = context_.dialogs->open_file(hwnd(), request);
    if (!chosen)
        return;
    // Takes effect in the tray now; Cancel does not undo it.
    if (!context_.tray->load(slot, *chosen))
        ui::report_message(MSG_SET_NO_ICON, MB_OK, sheet()->hwnd(), {*chosen});
    draw_icons();
}

void CustomizePage::choose_font()
{
    LOGFONTA initial = to_logfont(font_);
    if (initial.lfFaceName[0] == '\0') {
        // No font stored: start from the one the dialogs use.
        HFONT shown = reinterpret_cast<HFONT>(SendMessageA(hwnd(), WM_GETFONT, 0, 0));
        if (!shown || GetObjectA(shown, sizeof initial, &initial) != sizeof initial)
            initial = LOGFONTA{};
    }
    if (auto chosen = context_.dialogs->choose_font(hwnd(), initial))
        font_ = from_logfont(*chosen);
}

bool CustomizePage::on_command(int id, int code, HWND)
{
    if (code != BN_CLICKED)
        return false;
    for (int slot = 0; slot < Settings::kIconSlots; ++slot)
        if (id == kIconButtons[slot]) {
            choose_icon(static_cast<Settings::IconSlot>(slot));
            return true;
        }
    switch (id) {
    case IDC_CUSTOMIZE_RESTORE:
        if (context_.tray)
            context_.tray->restore_defaults();
        draw_icons();
        return true;
    case IDC_CUSTOMIZE_FONT:
        choose_font();
        return true;
    default:
        return false;
    }
}

bool CustomizePage::on_apply()
{
    Settings& settings = *context_.settings;
    if (font_ != settings.font) {
        // A description no font can be made from is not taken: the window
        // keeps the font it has, and the setting keeps saying so.
        LOGFONTA description = to_logfont(font_);
        ui::FontHandle probe(description.lfFaceName[0] ? CreateFontIndirectA(&description) : nullptr);
        if (probe) {
            settings.font = font_;
            context_.result.font_changed = true;
        }
    }
    settings.double_click =
        is_checked(hwnd(), IDC_CUSTOMIZE_CHECK_ALL) ? Settings::DoubleClick::check_all : Settings::DoubleClick::open_window;
    return true;
}

}  // namespace kivo::dialogs
