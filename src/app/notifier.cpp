#include "app/notifier.h"

#include <shellapi.h>

#include "app/resource_ids.h"
#include "message_ids.h"
#include "notify/system_sound.h"

namespace kivo::app {

namespace {

std::vector<tray::AccountView> views_of(const std::vector<Account*>& accounts)
{
    std::vector<tray::AccountView> views;
    views.reserve(accounts.size());
    for (const Account* account : accounts)
        views.push_back({account->name(), account->state(), account->new_messages(), account->total_messages()});
    return views;
}

std::vector<SoundAccount> sound_accounts_of(const std::vector<Account*>& accounts)
{
    std::vector<SoundAccount> out;
    out.reserve(accounts.size());
    for (const Account* account : accounts)
        out.push_back({account->name(), account->new_messages(), account->sound_file()});
    return out;
}

std::vector<tray::MenuAccount> menu_accounts_of(const std::vector<Account*>& accounts)
{
    std::vector<tray::MenuAccount> out;
    out.reserve(accounts.size());
    for (const Account* account : accounts)
        out.push_back({account->serial(), account->name(), account->state() == MSG_STATE_DISABLED});
    return out;
}

struct SlotSource {
    tray::Slot slot;
    int resource;
    int setting;  // Settings::IconSlot, or -1 when the user cannot replace it
};
constexpr SlotSource kSlotSources[] = {
    {tray::Slot::flash, IDI_TRAY_FLASH, -1},
    {tray::Slot::normal, IDI_KIVO, Settings::normal_icon},
    {tray::Slot::check_error, IDI_TRAY_CHECK_ERROR, Settings::check_error_icon},
    {tray::Slot::error, IDI_TRAY_ERROR, Settings::error_icon},
    {tray::Slot::check, IDI_TRAY_CHECK, Settings::check_icon},
};

// The replaceable slot shown for a setting's icon; null for any other.
const SlotSource* source_for(Settings::IconSlot slot)
{
    for (const SlotSource& source : kSlotSources)
        if (source.setting == slot)
            return &source;
    return nullptr;
}

// The first icon in a file the user chose; empty when the file holds none.
ui::IconHandle icon_from_file(const std::string& path)
{
    ui::IconHandle icon;
    HICON large = nullptr;
    if (!path.empty() && ExtractIconExA(path.c_str(), 0, &large, nullptr, 1) > 0 && large)
        icon.reset(large);
    return icon;
}

}  // namespace

Notifier::Notifier(const Args& args)
    : module_(args.module),
      window_(args.window),
      settings_(*args.settings),
      own_area_(args.area ? nullptr : std::make_unique<notify::SystemNotifyArea>()),
      own_sound_(args.sound ? nullptr : std::make_unique<notify::SystemSound>()),
      choose_menu_(args.choose_menu ? args.choose_menu : MenuChooser(&choose_tray_menu_item)),
      icon_(args.area ? *args.area : *own_area_, args.window),
      player_(args.sound ? *args.sound : *own_sound_)
{
    reload_icons();
}

Notifier::~Notifier() = default;

void Notifier::reload_icons()
{
    const int size = GetSystemMetrics(SM_CXSMICON);
    for (const SlotSource& source : kSlotSources) {
        ui::IconHandle icon;
        if (source.setting >= 0) {
            std::string& path = settings_.icon_files[static_cast<std::size_t>(source.setting)];
            if (!path.empty() && path != Settings::kDefaultIcon) {
                icon = icon_from_file(path);
                if (!icon)
                    path.clear();  // a file without an icon: saved as "Default"
            }
        }
        if (!icon)
            icon = ui::load_icon(module_, source.resource, size, size);
        slots_[static_cast<std::size_t>(source.slot)] = std::move(icon);
    }
}

HICON Notifier::slot_picture(Settings::IconSlot slot) const
{
    const SlotSource* source = source_for(slot);
    return source ? slot_icon(source->slot) : nullptr;
}

bool Notifier::replace_picture(Settings::IconSlot slot, const std::string& file)
{
    const SlotSource* source = source_for(slot);
    ui::IconHandle icon = source ? icon_from_file(file) : ui::IconHandle();
    if (!icon)
        return false;
    slots_[static_cast<std::size_t>(source->slot)] = std::move(icon);
    settings_.icon_files[static_cast<std::size_t>(slot)] = file;
    return true;
}

void Notifier::restore_default_pictures()
{
    for (std::string& path : settings_.icon_files)
        path.clear();
    reload_icons();
}

SoundRules Notifier::sound_rules() const
{
    return SoundRules{settings_.play_sound, settings_.repeat, settings_.repeat_when_window_is_open};
}

bool Notifier::window_visible() const
{
    return window_ && IsWindowVisible(window_);
}

void Notifier::refresh(const std::vector<Account*>& accounts, bool flash_frame_allowed)
{
    std::vector<tray::AccountView> views = views_of(accounts);
    tray::Facts facts = tray::Facts::of(views);
    notify::TrayPicture picture;
    picture.colour = tray::badge_colour(facts);
    bool flash = flash_frame_allowed && tray::tick_frame(flash_phase_on_, settings_.flash_icon, notification_off_,
                                                         stopped_, facts.unseen) == tray::Frame::flash;
    if (flash) {
        picture.base = slot_icon(tray::Slot::flash);
    } else {
        picture.base = slot_icon(tray::state_icon(facts, settings_.show_checking, settings_.error_icon_shown));
        picture.number = tray::badge_number(facts, settings_.count_all_messages, settings_.show_checking);
    }
    icon_.show(picture, tray::tooltip(views));
}

void Notifier::put_up(const std::vector<Account*>& accounts)
{
    running_ = true;
    stopped_ = false;
    flash_phase_on_ = true;
    player_.arm(sound_rules(), true);
    refresh(accounts, false);
}

void Notifier::take_down()
{
    running_ = false;
    stopped_ = true;
    player_.stop();
    icon_.remove();
}

void Notifier::accounts_changed(const std::vector<Account*>& accounts)
{
    if (running_)
        refresh(accounts, false);
}

void Notifier::tick(const std::vector<Account*>& accounts)
{
    if (!running_)
        return;
    flash_phase_on_ = !flash_phase_on_;
    player_.tick(sound_rules(), window_visible(), sound_accounts_of(accounts));
    refresh(accounts, true);  // also adds the icon when an earlier add was refused
}

void Notifier::queue_sound(const std::string& file)
{
    player_.queue(file);
}

void Notifier::set_notification_off(bool off)
{
    if (off == notification_off_)
        return;
    notification_off_ = off;
    if (off)
        player_.quiet(sound_rules());
    else if (running_)
        player_.arm(sound_rules(), false);
}

bool Notifier::handle_taskbar_created(UINT message)
{
    UINT taskbar_created = notify::TrayIcon::taskbar_created_message();
    if (taskbar_created == 0 || message != taskbar_created)
        return false;
    if (running_)
        icon_.taskbar_created();
    return true;
}

std::optional<TrayCommand> Notifier::handle_callback(WPARAM wparam, LPARAM lparam,
                                                      const std::vector<Account*>& accounts)
{
    if (wparam != notify::TrayIcon::kId)
        return std::nullopt;
    switch (LOWORD(lparam)) {
    case WM_LBUTTONDBLCLK:
        return TrayCommand{tray::double_click_command(settings_.double_click, window_visible()), 0};
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU: {
        menu_.rebuild(menu_accounts_of(accounts));
        tray::MenuState state = tray::menu_state(notification_off_, running_, accounts.size());
        UINT chosen = run_tray_menu(module_, window_, menu_, state, choose_menu_);
        return tray::command_for_choice(menu_, static_cast<int>(chosen));
    }
    default:
        return std::nullopt;
    }
}

}  // namespace kivo::app
