#pragma once
// An empty registry, settings loaded from it, two accounts, and recording
// stand-ins for everything the Settings sheet reaches beyond its window.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "appcore/settings.h"
#include "dialog_script.h"
#include "dialogs/settings_sheet.h"
#include "engine/account.h"
#include "log/log.h"
#include "support/scripted_common_dialogs.h"

namespace kivo::test {

inline constexpr const char* kDefaultMailer = "C:\\Mail\\mailer.exe /open";

class RecordingShortcut : public dialogs::StartupShortcut {
public:
    bool write() override;
    bool remove() override;
    bool works = true;
    std::vector<std::string> calls;    // "write", "remove"
    std::function<void()> on_call;     // looks at the world when the System page acts
};

class RecordingHelp : public dialogs::HelpViewer {
public:
    void show(const char* topic) override { topics.push_back(topic); }
    std::vector<std::string> topics;
};

// Replaces slots the way the tray does, with the program's pictures: a file named "*.ico" loads, any other
// yields no icon; the settings follow.
class RecordingTray : public dialogs::TrayPictures {
public:
    explicit RecordingTray(Settings& settings);
    ~RecordingTray() override;
    HICON icon(Settings::IconSlot slot) override { return icons_[slot]; }
    bool load(Settings::IconSlot slot, const std::string& file) override;
    void restore_defaults() override;
    std::vector<std::string> calls;

private:
    Settings& settings_;
    HICON stock_[Settings::kIconSlots];  // the program's own pictures
    HICON user_;                         // what every user file "holds"
    HICON icons_[Settings::kIconSlots];
};

// Every value under the program's key, with its type and bytes, by path.
std::map<std::string, std::string> registry_snapshot();
void clear_registry();
void put_dword(const char* name, DWORD value);
void put_value(const char* name, DWORD type, const void* data, DWORD size);
bool read_dword(const char* key, const char* name, DWORD& value);
std::string read_string(const char* key, const char* name);
std::vector<BYTE> read_binary(const char* key, const char* name);

struct SettingsBench {
    // Registry values to put in place before the settings load.
    explicit SettingsBench(const std::function<void()>& prepare = {}, int accounts = 2);

    Settings settings;
    Log log;
    std::vector<std::unique_ptr<Account>> owned;
    ScriptedCommonDialogs files;
    RecordingShortcut shortcut;
    RecordingHelp help;
    std::unique_ptr<RecordingTray> tray;
    std::vector<std::string> played;
    int saves = 0;
    std::function<void()> on_save_accounts;
    dialogs::SettingsSheetArgs args;

    // Runs the sheet with the script driving it from inside its loop.
    dialogs::SettingsSheetResult run(DialogScript& script);
};

HWND settings_sheet();
// The page dialog the sheet shows.
HWND page();
void choose_tab(int index);
void post_click(HWND dialog, int id);
void press(HWND dialog, int id);  // a click as the user makes it (BM_CLICK)
bool checked(HWND dialog, int id);
std::string text(HWND dialog, int id);
bool enabled(HWND dialog, int id);

}  // namespace kivo::test
