// The Visual effects page: what the tray icon shows.
#include "dialogs/settings_ids.h"
#include "dialogs/settings_pages.h"

namespace kivo::dialogs {

bool VisualPage::on_init()
{
    const Settings& settings = *context_.settings;
    set_checked(hwnd(), IDC_VISUAL_FLASH, settings.flash_icon);
    set_checked(hwnd(), IDC_VISUAL_CHECKING, settings.show_checking);
    set_checked(hwnd(), IDC_VISUAL_ERROR, settings.error_icon_shown);
    set_checked(hwnd(), settings.count_all_messages ? IDC_VISUAL_ALL : IDC_VISUAL_UNREAD, true);
    return true;
}

bool VisualPage::on_apply()
{
    Settings& settings = *context_.settings;
    bool flash = is_checked(hwnd(), IDC_VISUAL_FLASH);
    bool checking = is_checked(hwnd(), IDC_VISUAL_CHECKING);
    bool error = is_checked(hwnd(), IDC_VISUAL_ERROR);
    bool all = is_checked(hwnd(), IDC_VISUAL_ALL);
    if (flash != settings.flash_icon || checking != settings.show_checking || error != settings.error_icon_shown ||
        all != settings.count_all_messages)
        settings.visual_changed = true;
    settings.flash_icon = flash;
    settings.show_checking = checking;
    settings.error_icon_shown = error;
    settings.count_all_messages = all;
    return true;
}

}  // namespace kivo::dialogs
