#pragma once
// The five pages of the Settings sheet. Each fills its controls from the
// settings when it is first shown and writes them back only in on_apply,
// which the sheet calls on OK for the pages that were shown.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/settings_sheet.h"
#include "ui/tabbed_sheet.h"

namespace kivo::dialogs {

// What every page works on: the sheet's arguments with their defaults
// filled in, and the result the sheet hands back.
struct SettingsContext {
    HINSTANCE module = nullptr;
    Settings* settings = nullptr;
    std::vector<Account*> accounts;
    Log* log = nullptr;
    ui::CommonDialogs* dialogs = nullptr;
    HelpViewer* help = nullptr;
    StartupShortcut* shortcut = nullptr;
    TrayPictures* tray = nullptr;
    std::function<void(const std::string&)> play_sound;
    std::function<std::string()> default_mail_client;
    SettingsSheetResult result;
};

// Small helpers the pages share.
bool is_checked(HWND dialog, int id);
void set_checked(HWND dialog, int id, bool on);
// The whole text, however long it is.
std::string text_of(HWND dialog, int id);
void set_text(HWND dialog, int id, const std::string& text);
void enable(HWND dialog, int id, bool on);
// Limits what the user can type or paste into an edit.
void limit_text(HWND dialog, int id, int characters);

class SystemPage : public ui::SheetPage {
public:
    explicit SystemPage(SettingsContext& context) : context_(context) {}

protected:
    bool on_init() override;
    bool on_command(int id, int code, HWND control) override;
    bool on_apply() override;

private:
    void update_run_mailer();
    void apply_startup();
    SettingsContext& context_;
};

class SoundPage : public ui::SheetPage {
public:
    explicit SoundPage(SettingsContext& context) : context_(context) {}

protected:
    bool on_init() override;
    bool on_command(int id, int code, HWND control) override;
    bool on_leave() override;
    bool on_apply() override;

private:
    // The edit's text becomes the shown account's pending sound file.
    void keep_typed_file();
    void show_account(int index);
    void update_enabled();
    SettingsContext& context_;
    std::vector<std::string> pending_;  // by account, in list order
    int shown_ = -1;                    // the account whose file the edit shows
};

class VisualPage : public ui::SheetPage {
public:
    explicit VisualPage(SettingsContext& context) : context_(context) {}

protected:
    bool on_init() override;
    bool on_apply() override;

private:
    SettingsContext& context_;
};

class CustomizePage : public ui::SheetPage {
public:
    explicit CustomizePage(SettingsContext& context) : context_(context) {}

protected:
    bool on_init() override;
    bool on_command(int id, int code, HWND control) override;
    bool on_apply() override;

private:
    void draw_icons();
    void choose_icon(Settings::IconSlot slot);
    void choose_font();
    SettingsContext& context_;
    Settings::Font font_{};  // the copy the font dialog edits
};

class LogPage : public ui::SheetPage {
public:
    explicit LogPage(SettingsContext& context) : context_(context) {}

protected:
    bool on_init() override;
    bool on_command(int id, int code, HWND control) override;
    bool on_apply() override;

private:
    void update_enabled();
    SettingsContext& context_;
};

}  // namespace kivo::dialogs
