// The Sound page: the sound rules and each account's sound file.
#include "dialogs/settings_ids.h"
#include "dialogs/settings_pages.h"
#include "dialogs/settings_rules.h"
#include "engine/account.h"
#include "message_ids.h"
#include "platform/message_text.h"
#include "ui/common_dialogs.h"

namespace kivo::dialogs {

bool SoundPage::on_init()
{
    const Settings& settings = *context_.settings;
    set_checked(hwnd(), IDC_SOUND_PLAY, settings.play_sound);
    set_checked(hwnd(), IDC_SOUND_REPEAT, settings.repeat);
    set_checked(hwnd(), IDC_SOUND_WINDOW_OPEN, settings.repeat_when_window_is_open);
    limit_text(hwnd(), IDC_SOUND_FILE, kSettingsTextLimit);
    pending_.clear();
    HWND combo = item(IDC_SOUND_ACCOUNT);
    for (const Account* account : context_.accounts) {
        pending_.push_back(account->sound_file());
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(account->name().c_str()));
    }
    shown_ = -1;
    if (!pending_.empty()) {
        SendMessageA(combo, CB_SETCURSEL, 0, 0);
        show_account(0);
    }
    update_enabled();
    return true;
}

void SoundPage::keep_typed_file()
{
    if (shown_ >= 0 && static_cast<std::size_t>(shown_) < pending_.size())
        pending_[static_cast<std::size_t>(shown_)] = text_of(hwnd(), IDC_SOUND_FILE);
}

void SoundPage::show_account(int index)
{
    shown_ = index;
    set_text(hwnd(), IDC_SOUND_FILE, pending_[static_cast<std::size_t>(index)]);
}

void SoundPage::update_enabled()
{
    // Without an account there is no sound file to edit, and the rules
    // would apply to nothing.
    bool any = !pending_.empty();
    enable(hwnd(), IDC_SOUND_PLAY, any);
    bool on = any && is_checked(hwnd(), IDC_SOUND_PLAY);
    for (int id : {IDC_SOUND_REPEAT, IDC_SOUND_WINDOW_OPEN, IDC_SOUND_ACCOUNT, IDC_SOUND_FILE, IDC_SOUND_BROWSE,
                   IDC_SOUND_TEST})
        enable(hwnd(), id, on);
}

bool SoundPage::on_command(int id, int code, HWND)
{
    switch (id) {
    case IDC_SOUND_PLAY:
        if (code == BN_CLICKED)
            update_enabled();
        return code == BN_CLICKED;
    case IDC_SOUND_ACCOUNT: {
        if (code != CBN_SELCHANGE)
            return false;
        int chosen = static_cast<int>(SendDlgItemMessageA(hwnd(), IDC_SOUND_ACCOUNT, CB_GETCURSEL, 0, 0));
        keep_typed_file();
        if (chosen >= 0 && static_cast<std::size_t>(chosen) < pending_.size())
            show_account(chosen);
        return true;
    }
    case IDC_SOUND_FILE:
        if (code == EN_KILLFOCUS)
            keep_typed_file();
        return code == EN_KILLFOCUS;
    case IDC_SOUND_BROWSE: {
        if (code != BN_CLICKED || shown_ < 0)
            return code == BN_CLICKED;
        ui::FileRequest request;
        request.filters = {{platform::message_text(MSG_SET_WAVE_FILES), "*.wav"},
                           {platform::message_text(MSG_SET_ALL_FILES), "*.*"}};
        request.initial_path = text_of(hwnd(), IDC_SOUND_FILE);
        if (auto chosen = context_.dialogs->open_file(hwnd(), request)) {
            set_text(hwnd(), IDC_SOUND_FILE, *chosen);
            keep_typed_file();
        }
        return true;
    }
    case IDC_SOUND_TEST: {
        if (code != BN_CLICKED)
            return false;
        std::string file = text_of(hwnd(), IDC_SOUND_FILE);
        if (!file.empty() && context_.play_sound)
            context_.play_sound(file);
        return true;
    }
    default:
        return false;
    }
}

bool SoundPage::on_leave()
{
    keep_typed_file();
    return true;
}

bool SoundPage::on_apply()
{
    // A path typed just before OK has not lost the focus yet.
    keep_typed_file();
    Settings& settings = *context_.settings;
    settings.play_sound = is_checked(hwnd(), IDC_SOUND_PLAY);
    settings.repeat = is_checked(hwnd(), IDC_SOUND_REPEAT);
    settings.repeat_when_window_is_open = is_checked(hwnd(), IDC_SOUND_WINDOW_OPEN);
    for (std::size_t i = 0; i < pending_.size() && i < context_.accounts.size(); ++i)
        if (pending_[i] != context_.accounts[i]->sound_file())
            context_.accounts[i]->set_sound_file(pending_[i]);
    return true;
}

}  // namespace kivo::dialogs
