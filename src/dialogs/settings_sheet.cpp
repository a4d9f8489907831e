// The Settings sheet (125) and its entry point.
#include "dialogs/settings_sheet.h"

#include <mmsystem.h>

#include <memory>

#include "dialogs/settings_ids.h"
#include "dialogs/settings_pages.h"
#include "dialogs/settings_rules.h"
#include "dialogs/startup_shortcut.h"
#include "engine/account.h"
#include "log/log.h"
#include "log/log_settings.h"
#include "message_ids.h"
#include "platform/message_text.h"
#include "ui/common_dialogs.h"

namespace kivo::dialogs {
namespace {

class SettingsSheet : public ui::TabbedSheet {
public:
    SettingsSheet(SettingsContext& context, std::function<void()> save_accounts, const ui::SheetPage& log_page)
        : TabbedSheet(IDC_SHEET_TABS), context_(context), save_accounts_(std::move(save_accounts)), log_page_(log_page)
    {
    }

protected:
    bool on_command(int id, int code, HWND) override
    {
        if (id != IDC_SHEET_HELP || code != BN_CLICKED)
            return false;
        const char* topic = settings_help_topic(current_page());
        if (topic && context_.help)
            context_.help->show(topic);
        return true;
    }

    void on_ok() override
    {
        if (!apply_pages())
            return;
        context_.settings->Save();
        // The Sound page may have changed the accounts' sound files.
        save_accounts_();
        if (log_page_.was_shown())
            save_log_settings(*context_.log);
        context_.result.accepted = true;
        end(IDOK);
    }

private:
    SettingsContext& context_;
    std::function<void()> save_accounts_;
    const ui::SheetPage& log_page_;
};

// "Test" must never hold the sheet up while the sound plays.
void play_without_waiting(const std::string& file) { sndPlaySoundA(file.c_str(), SND_ASYNC | SND_NODEFAULT); }

}  // namespace

SettingsSheetResult run_settings_sheet(const SettingsSheetArgs& args)
{
    static ui::SystemCommonDialogs system_dialogs;
    SettingsContext context;
    context.module = args.module ? args.module : GetModuleHandleA(nullptr);
    context.settings = args.settings;
    context.accounts = args.accounts;
    context.log = args.log ? args.log : &app_log();
    context.dialogs = args.dialogs ? args.dialogs : &system_dialogs;
    context.help = args.help;
    std::unique_ptr<ShellStartupShortcut> own_shortcut;
    if (!args.shortcut)
        own_shortcut = std::make_unique<ShellStartupShortcut>();
    context.shortcut = args.shortcut ? args.shortcut : own_shortcut.get();
    context.tray = args.tray;
    context.play_sound = args.play_sound ? args.play_sound : play_without_waiting;
    context.default_mail_client = args.default_mail_client;
    std::function<void()> save_accounts = args.save_accounts;
    if (!save_accounts)
        save_accounts = [&context] {
            for (const Account* account : context.accounts)
                account->save_registry();
        };
    if (!context.settings)
        return {};
    context.settings->visual_changed = false;

    SystemPage system(context);
    SoundPage sound(context);
    VisualPage visual(context);
    CustomizePage customize(context);
    LogPage log(context);
    SettingsSheet sheet(context, save_accounts, log);
    using platform::message_text;
    sheet.add_page(system, {context.module, IDD_SYSTEM_PAGE, message_text(MSG_SETTINGS_TAB_SYSTEM)});
    sheet.add_page(sound, {context.module, IDD_SOUND_PAGE, message_text(MSG_SETTINGS_TAB_SOUND)});
    sheet.add_page(visual, {context.module, IDD_VISUAL_PAGE, message_text(MSG_SETTINGS_TAB_VISUAL)});
    sheet.add_page(customize, {context.module, IDD_CUSTOMIZE_PAGE, message_text(MSG_SETTINGS_TAB_CUSTOMIZE)});
    sheet.add_page(log, {context.module, IDD_LOG_PAGE, message_text(MSG_SETTINGS_TAB_LOG)});
    sheet.set_apply_order(settings_apply_order());
    sheet.run_modal({context.module, IDD_SETTINGS_SHEET, args.owner});

    SettingsSheetResult result = context.result;
    result.visual_changed = result.accepted && context.settings->visual_changed;
    if (!result.accepted)
        result = {};
    return result;
}

}  // namespace kivo::dialogs
