#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/tray_menu.h"
#include "appcore/settings.h"
#include "appcore/sound_player.h"
#include "engine/account.h"
#include "notify/tray_icon.h"
#include "ui/handles.h"

namespace kivo::app {

using notify::NotifyArea;

// The tray icon, its menu and the sound player, for the main window. Lives
// on the window thread; every call comes from there.
class Notifier {
public:
    // Shows a popup menu and returns the chosen command (0 for none). Tests
    // replace it to look at the menu while it is up and to pick an item.
    using MenuChooser = std::function<UINT(HMENU menu, HWND owner, POINT at)>;

    struct Args {
        HINSTANCE module;
        HWND window;
        Settings* settings;
        NotifyArea* area;    // null: the system's
        SoundOutput* sound;  // null: the system's
        MenuChooser choose_menu = {};  // empty: the real tray menu
    };
    explicit Notifier(const Args&);
    ~Notifier();
    Notifier(const Notifier&) = delete;
    Notifier& operator=(const Notifier&) = delete;

    // NIM_ADD (retried on the tick when refused), arms the sound player.
    void put_up(const std::vector<Account*>& accounts);
    // At exit / end of session: icon removed, sound stopped, ticks ignored.
    void take_down();
    // Icon and tooltip replaced at once when they changed.
    void accounts_changed(const std::vector<Account*>& accounts);
    // Every 500 ms: flashing, sound rotation, add retry.
    void tick(const std::vector<Account*>& accounts);
    void queue_sound(const std::string& file);
    // Window shown / tray toggle: quiet or re-arm the sound.
    void set_notification_off(bool off);
    bool notification_off() const { return notification_off_; }
    // "TaskbarCreated": adds the icon again. False for any other message.
    bool handle_taskbar_created(UINT message);
    // Tray callback (0x464): the command to run, if any (the double-click
    // action, or the chosen menu item).
    std::optional<TrayCommand> handle_callback(WPARAM, LPARAM, const std::vector<Account*>& accounts);
    // The user's icon files changed (Settings sheet): reload the slots.
    void reload_icons();
    // The Settings sheet's icon buttons: the picture of a replaceable slot;
    // replacing it from a file (false, and the slot unchanged, when the file
    // yields no icon); every slot back to the program's own pictures. The
    // settings follow, so the next save stores the choice.
    HICON slot_picture(Settings::IconSlot slot) const;
    bool replace_picture(Settings::IconSlot slot, const std::string& file);
    void restore_default_pictures();

    bool running() const { return running_; }
    HICON shown_icon() const { return icon_.icon(); }
    const TrayMenuModel& menu_model() const { return menu_; }
    const SoundPlayer& sound_player() const { return player_; }

private:
    void refresh(const std::vector<Account*>& accounts, bool flash_frame_allowed);
    SoundRules sound_rules() const;
    bool window_visible() const;
    HICON slot_icon(tray::Slot slot) const { return slots_[static_cast<std::size_t>(slot)].get(); }

    HINSTANCE module_;
    HWND window_;
    Settings& settings_;
    std::unique_ptr<NotifyArea> own_area_;
    std::unique_ptr<SoundOutput> own_sound_;
    MenuChooser choose_menu_;
    notify::TrayIcon icon_;
    SoundPlayer player_;
    // The pictures, by tray::Slot.
    std::array<ui::IconHandle, 5> slots_;
    TrayMenuModel menu_;
    bool running_ = false;
    bool stopped_ = false;
    bool notification_off_ = false;
    bool flash_phase_on_ = true;
};

}  // namespace kivo::app
