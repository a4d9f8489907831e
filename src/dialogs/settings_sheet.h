#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "appcore/settings.h"

namespace kivo {
class Account;
class Log;
namespace ui {
class CommonDialogs;
}
}  // namespace kivo

namespace kivo::dialogs {

// Opens a topic of the help file ("::/settings.htm#system", ...).
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void show(const char* topic) = 0;
};

// kivo.lnk in the user's Startup folder.
class StartupShortcut {
public:
    virtual ~StartupShortcut() = default;
    // Writes the new link and only then replaces the old one; false when
    // it could not be written (the old one, if any, stays).
    virtual bool write() = 0;
    // Deletes the link; true when none is left.
    virtual bool remove() = 0;
};

// The tray's four replaceable pictures, for the Customize page. Loading and
// restoring take effect in the tray at once (not undone by Cancel).
class TrayPictures {
public:
    virtual ~TrayPictures() = default;
    virtual HICON icon(Settings::IconSlot slot) = 0;
    // Loads the slot from an icon file; false when the file yields no icon.
    virtual bool load(Settings::IconSlot slot, const std::string& file) = 0;
    virtual void restore_defaults() = 0;
};

struct SettingsSheetArgs {
    HINSTANCE module = nullptr;  // templates 125, 106, 138, 139, 140, 258
    HWND owner = nullptr;
    Settings* settings = nullptr;
    std::vector<Account*> accounts;  // the Sound page edits their sound files
    Log* log = nullptr;              // the Log page; null: the program's log
    ui::CommonDialogs* dialogs = nullptr;  // null: the system's
    HelpViewer* help = nullptr;            // null: nothing opens
    StartupShortcut* shortcut = nullptr;   // null: the real kivo.lnk
    TrayPictures* tray = nullptr;          // null: the Customize icon buttons do nothing
    // "Test" on the Sound page; must not block. Null: played asynchronously.
    std::function<void(const std::string&)> play_sound;
    // "Find" on the System page; null: the system's default mail client.
    std::function<std::string()> default_mail_client;
    // After OK: writes every account's registry values (sound files). Null:
    // Account::save_registry for each.
    std::function<void()> save_accounts;
};

struct SettingsSheetResult {
    bool accepted = false;       // OK: applied and saved
    bool visual_changed = false; // replace the tray icon and tooltip now
    bool font_changed = false;   // settings->font is new: apply_font on the main window
    bool shortcut_failed = false;  // reported to the user already
};

// The Settings sheet (125): System, Sound, Visual effects, Customize, Log.
// OK applies the pages that were shown (Customize, Sound, System, Visual
// effects, Log), saves the settings and the accounts' values and the log
// options. Cancel applies nothing (what the icon buttons did stays).
SettingsSheetResult run_settings_sheet(const SettingsSheetArgs& args);

}  // namespace kivo::dialogs
