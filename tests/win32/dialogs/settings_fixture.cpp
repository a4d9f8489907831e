#include "settings_fixture.h"

#include <commctrl.h>
#include <doctest/doctest.h>

#include <cstring>

#include "app/resource_ids.h"
#include "dialogs/settings_ids.h"
#include "platform/registry_paths.h"

namespace kivo::test {

bool RecordingShortcut::write()
{
    calls.push_back("write");
    if (on_call)
        on_call();
    return works;
}

bool RecordingShortcut::remove()
{
    calls.push_back("remove");
    if (on_call)
        on_call();
    return works;
}

namespace {
HICON picture(int resource)
{
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource), IMAGE_ICON, 16, 16, 0));
}
}  // namespace

RecordingTray::RecordingTray(Settings& settings)
    : settings_(settings),
      stock_{picture(IDI_KIVO), picture(IDI_TRAY_CHECK), picture(IDI_TRAY_ERROR), picture(IDI_TRAY_CHECK_ERROR)},
      user_(picture(IDI_MESSAGE_SPAMMER))
{
    for (int slot = 0; slot < Settings::kIconSlots; ++slot)
        icons_[slot] = stock_[slot];
}

RecordingTray::~RecordingTray()
{
    for (HICON icon : stock_)
        DestroyIcon(icon);
    DestroyIcon(user_);
}

bool RecordingTray::load(Settings::IconSlot slot, const std::string& file)
{
    calls.push_back("load " + std::to_string(slot) + " " + file);
    if (file.size() < 4 || file.substr(file.size() - 4) != ".ico")
        return false;
    icons_[slot] = user_;
    settings_.icon_files[slot] = file;
    return true;
}

void RecordingTray::restore_defaults()
{
    calls.push_back("restore");
    for (int slot = 0; slot < Settings::kIconSlots; ++slot)
        icons_[slot] = stock_[slot];
    for (std::string& file : settings_.icon_files)
        file.clear();
}

namespace {

void snapshot_key(HKEY key, const std::string& path, std::map<std::string, std::string>& out)
{
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD name_size = sizeof name, type = 0, size = 0;
        if (RegEnumValueA(key, i, name, &name_size, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        std::string data(size, '\0');
        name_size = sizeof name;
        RegEnumValueA(key, i, name, &name_size, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        out[path + "|" + name] = std::to_string(type) + ":" + data;
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD name_size = sizeof name;
        if (RegEnumKeyExA(key, i, name, &name_size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HKEY sub = nullptr;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
            out[path + "\\" + name] = "(key)";
            snapshot_key(sub, path + "\\" + name, out);
            RegCloseKey(sub);
        }
    }
}

}  // namespace

std::map<std::string, std::string> registry_snapshot()
{
    std::map<std::string, std::string> out;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRegistryRoot, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        snapshot_key(key, "", out);
        RegCloseKey(key);
    }
    return out;
}

void clear_registry() { RegDeleteTreeA(HKEY_CURRENT_USER, kRegistryRoot); }

void put_value(const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    REQUIRE(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
            ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void put_dword(const char* name, DWORD value) { put_value(name, REG_DWORD, &value, sizeof value); }

namespace {
bool read_raw(const char* key_path, const char* name, DWORD& type, std::vector<BYTE>& data)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key_path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    bool ok = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
    if (ok) {
        data.resize(size);
        ok = RegQueryValueExA(key, name, nullptr, &type, data.data(), &size) == ERROR_SUCCESS;
        data.resize(size);
    }
    RegCloseKey(key);
    return ok;
}
}  // namespace

bool read_dword(const char* key, const char* name, DWORD& value)
{
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!read_raw(key, name, type, data) || type != REG_DWORD || data.size() != 4)
        return false;
    std::memcpy(&value, data.data(), 4);
    return true;
}

std::string read_string(const char* key, const char* name)
{
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!read_raw(key, name, type, data) || type != REG_SZ)
        return "(none)";
    std::string text(data.begin(), data.end());
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

std::vector<BYTE> read_binary(const char* key, const char* name)
{
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!read_raw(key, name, type, data) || type != REG_BINARY)
        return {};
    return data;
}

SettingsBench::SettingsBench(const std::function<void()>& prepare, int accounts)
{
    clear_registry();
    if (prepare)
        prepare();
    settings.Load([] { return std::string(kDefaultMailer); });
    const char* names[] = {"Home", "Work", "Club"};
    for (int i = 0; i < accounts && i < 3; ++i) {
        auto account = std::make_unique<Account>();
        account->set_name(names[i]);
        account->set_sound_file(std::string("C:\\Sounds\\") + names[i] + ".wav");
        args.accounts.push_back(account.get());
        owned.push_back(std::move(account));
    }
    tray = std::make_unique<RecordingTray>(settings);
    args.settings = &settings;
    args.log = &log;
    args.dialogs = &files;
    args.help = &help;
    args.shortcut = &shortcut;
    args.tray = tray.get();
    args.play_sound = [this](const std::string& file) { played.push_back(file); };
    args.default_mail_client = [] { return std::string(kDefaultMailer); };
    args.save_accounts = [this] {
        ++saves;
        if (on_save_accounts)
            on_save_accounts();
        for (const Account* account : this->args.accounts)
            account->save_registry();
    };
}

dialogs::SettingsSheetResult SettingsBench::run(DialogScript& script)
{
    script.start();
    dialogs::SettingsSheetResult result = dialogs::run_settings_sheet(args);
    CHECK(script.all_run());
    CHECK_FALSE(script.step_failed());
    return result;
}

HWND settings_sheet() { return FindWindowA("#32770", "Settings"); }

HWND page()
{
    for (HWND child = GetWindow(settings_sheet(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = {};
        GetClassNameA(child, name, sizeof name);
        if (std::string(name) == "#32770" && (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE))
            return child;
    }
    return nullptr;
}

void choose_tab(int index) { TabCtrl_SetCurFocus(GetDlgItem(settings_sheet(), IDC_SHEET_TABS), index); }

void post_click(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void press(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

std::string text(HWND dialog, int id)
{
    char buffer[1024] = {};
    GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
    return buffer;
}

bool enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

}  // namespace kivo::test
