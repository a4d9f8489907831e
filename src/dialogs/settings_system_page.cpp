// The System page: start-up, the mail client and the connection type.
#include "dialogs/settings_pages.h"
#include "dialogs/settings_ids.h"
#include "dialogs/settings_rules.h"
#include "message_ids.h"
#include "platform/message_text.h"
#include "ui/common_dialogs.h"
#include "ui/error_box.h"

namespace kivo::dialogs {

bool SystemPage::on_init()
{
    const Settings& settings = *context_.settings;
    set_checked(hwnd(), IDC_SYSTEM_STARTUP, settings.win_startup);
    set_checked(hwnd(), IDC_SYSTEM_HIDE, settings.hide_start);
    limit_text(hwnd(), IDC_SYSTEM_MAILER, kSettingsTextLimit);
    if (!settings.mail_client.empty())
        set_text(hwnd(), IDC_SYSTEM_MAILER, settings.mail_client);
    set_checked(hwnd(), IDC_SYSTEM_RUN_MAILER, settings.run_mailer_after_new_mail());
    set_checked(hwnd(), settings.dial_up() ? IDC_SYSTEM_DIALUP : IDC_SYSTEM_LAN, true);
    update_run_mailer();
    return true;
}

void SystemPage::update_run_mailer()
{
    enable(hwnd(), IDC_SYSTEM_RUN_MAILER, !text_of(hwnd(), IDC_SYSTEM_MAILER).empty());
}

bool SystemPage::on_command(int id, int code, HWND)
{
    switch (id) {
    case IDC_SYSTEM_STARTUP:
        // Started with Windows usually means started quietly in the tray.
        if (code == BN_CLICKED && is_checked(hwnd(), IDC_SYSTEM_STARTUP))
            set_checked(hwnd(), IDC_SYSTEM_HIDE, true);
        return code == BN_CLICKED;
    case IDC_SYSTEM_MAILER:
        if (code == EN_CHANGE)
            update_run_mailer();
        return code == EN_CHANGE;
    case IDC_SYSTEM_BROWSE: {
        if (code != BN_CLICKED)
            return false;
        ui::FileRequest request;
        request.filters = {{"*.exe", "*.exe"}, {platform::message_text(MSG_SET_ALL_FILES), "*.*"}};
        // Shown in the edit only; the setting changes on OK, like every other field.
        if (auto chosen = context_.dialogs->open_file(hwnd(), request))
            set_text(hwnd(), IDC_SYSTEM_MAILER, quoted_program(*chosen));
        return true;
    }
    case IDC_SYSTEM_FIND: {
        if (code != BN_CLICKED)
            return false;
        std::string found = context_.default_mail_client ? context_.default_mail_client() : std::string();
        if (!found.empty())
            set_text(hwnd(), IDC_SYSTEM_MAILER, found);
        return true;
    }
    default:
        return false;
    }
}

void SystemPage::apply_startup()
{
    Settings& settings = *context_.settings;
    if (is_checked(hwnd(), IDC_SYSTEM_STARTUP)) {
        // WinStartup says there is a link; it is set only once there is one.
        if (context_.shortcut->write()) {
            settings.win_startup = true;
            return;
        }
        context_.result.shortcut_failed = true;
        ui::report_message(MSG_SET_SHORTCUT_NOT_WRITTEN, MB_OK, sheet()->hwnd());
        return;
    }
    if (context_.shortcut->remove()) {
        settings.win_startup = false;
        return;
    }
    context_.result.shortcut_failed = true;
    ui::report_message(MSG_SET_SHORTCUT_NOT_REMOVED, MB_OK, sheet()->hwnd());
}

bool SystemPage::on_apply()
{
    apply_startup();
    Settings& settings = *context_.settings;
    settings.hide_start = is_checked(hwnd(), IDC_SYSTEM_HIDE);
    settings.mail_client = text_of(hwnd(), IDC_SYSTEM_MAILER);
    settings.set_run_mailer_after_new_mail(run_mailer_choice(
        settings.mail_client, is_checked(hwnd(), IDC_SYSTEM_RUN_MAILER), settings.run_mailer_after_new_mail()));
    settings.set_dial_up(is_checked(hwnd(), IDC_SYSTEM_DIALUP));
    return true;
}

}  // namespace kivo::dialogs
