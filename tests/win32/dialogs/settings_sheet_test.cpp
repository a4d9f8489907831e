// The Settings sheet as a whole: what it shows on a first run and after odd
// stored values, which pages OK applies and in what order, what Cancel
// leaves, the start-up shortcut, help per tab and the pages' layout.
#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <cctype>
#include <memory>
#include <set>

#include "box_watcher.h"
#include "dialog_probe.h"
#include "dialogs/font_apply.h"
#include "dialogs/settings_ids.h"
#include "dialogs/startup_shortcut.h"
#include "appcore/help_topics.h"
#include "platform/registry_paths.h"
#include "settings_fixture.h"

using namespace kivo;
using namespace kivo::test;

namespace {

std::string tab_title(int index)
{
    char title[64] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = title;
    item.cchTextMax = sizeof title;
    TabCtrl_GetItem(GetDlgItem(settings_sheet(), IDC_SHEET_TABS), index, &item);
    return title;
}

std::string combo_text(HWND dialog, int id, int row)
{
    char buffer[256] = {};
    SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

LOGFONTA tahoma()
{
    LOGFONTA font{};
    font.lfHeight = -15;
    font.lfWeight = FW_BOLD;
    lstrcpyA(font.lfFaceName, "Tahoma");
    return font;
}

std::string class_of(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// What a user needs of a page: every control inside it, none covering
// another (group boxes hold theirs), each text fitting its control, and no
// mnemonic used twice on the page together with the sheet's buttons.
void check_page_layout(HWND sheet, HWND page_window)
{
    std::set<char> mnemonics{'h'};  // the sheet's "&Help"
    RECT client{};
    GetClientRect(page_window, &client);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(page_window, WM_GETFONT, 0, 0));
    HDC dc = GetDC(page_window);
    HGDIOBJ old = SelectObject(dc, font);
    std::vector<RECT> placed;
    for (HWND c = GetWindow(page_window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char raw[256] = {};
        GetWindowTextA(c, raw, sizeof raw);
        std::string label = raw, cls = class_of(c);
        INFO("control " << GetDlgCtrlID(c) << " \"" << label << "\"");
        RECT r{};
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, page_window, reinterpret_cast<POINT*>(&r), 2);
        CHECK(r.left >= 0);
        CHECK(r.top >= 0);
        CHECK(r.right <= client.right);
        CHECK(r.bottom <= client.bottom);
        bool group = cls == "Button" && (GetWindowLongA(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
        if (!group) {
            for (const RECT& other : placed) {
                RECT both;
                CHECK_FALSE(IntersectRect(&both, &r, &other));
            }
            placed.push_back(r);
        }
        if (cls != "Button" && cls != "Static")
            continue;
        std::string shown;
        for (std::size_t i = 0; i < label.size(); ++i) {
            if (label[i] == '&' && i + 1 < label.size()) {
                ++i;
                if (label[i] != '&') {
                    CHECK(mnemonics.insert(static_cast<char>(std::tolower(label[i]))).second);
                    shown += label[i];
                    continue;
                }
            }
            shown += label[i];
        }
        SIZE extent{};
        GetTextExtentPoint32A(dc, shown.c_str(), static_cast<int>(shown.size()), &extent);
        int margin = cls == "Button" ? 2 * GetSystemMetrics(SM_CXEDGE) + (group ? 12 : 16) : 0;
        CHECK(extent.cx + margin <= r.right - r.left);
    }
    SelectObject(dc, old);
    ReleaseDC(page_window, dc);
    RECT tabs{};
    GetWindowRect(GetDlgItem(sheet, IDC_SHEET_TABS), &tabs);
    RECT area{};
    GetWindowRect(page_window, &area);
    CHECK(area.left >= tabs.left);
    CHECK(area.right <= tabs.right);
    CHECK(area.bottom <= tabs.bottom);
}

// The ids Tab walks through from the tab control until it comes round.
std::vector<int> tab_walk(HWND sheet)
{
    std::vector<int> ids;
    HWND first = GetDlgItem(sheet, IDC_SHEET_TABS);
    for (HWND c = GetNextDlgTabItem(sheet, first, FALSE); c && c != first && ids.size() < 40;
         c = GetNextDlgTabItem(sheet, c, FALSE))
        ids.push_back(GetDlgCtrlID(c));
    return ids;
}

}  // namespace

TEST_CASE("a first run shows every option off, LAN, the default mail client and the accounts' sounds")
{
    SettingsBench bench;
    auto before = registry_snapshot();
    CHECK(before.count("\\Settings") == 1);  // loading made the key
    DialogScript script;
    script.then([&] {
        REQUIRE(settings_sheet());
        REQUIRE(TabCtrl_GetItemCount(GetDlgItem(settings_sheet(), IDC_SHEET_TABS)) == 5);
        const char* titles[] = {"System", "Sound", "Visual effects", "Customize", "Log"};
        for (int i = 0; i < 5; ++i)
            CHECK(tab_title(i) == titles[i]);
        HWND p = page();
        CHECK_FALSE(checked(p, IDC_SYSTEM_STARTUP));
        CHECK_FALSE(checked(p, IDC_SYSTEM_HIDE));
        CHECK(text(p, IDC_SYSTEM_MAILER) == kDefaultMailer);
        CHECK_FALSE(checked(p, IDC_SYSTEM_RUN_MAILER));
        CHECK(enabled(p, IDC_SYSTEM_RUN_MAILER));
        CHECK(checked(p, IDC_SYSTEM_LAN));
        CHECK_FALSE(checked(p, IDC_SYSTEM_DIALUP));
        CHECK(SendDlgItemMessageA(p, IDC_SYSTEM_MAILER, EM_GETLIMITTEXT, 0, 0) == 260);
        keep_shot(settings_sheet(), "settings_system");
        CHECK(tab_walk(settings_sheet()) == std::vector<int>{IDC_SYSTEM_STARTUP, IDC_SYSTEM_HIDE, IDC_SYSTEM_MAILER,
                                                             IDC_SYSTEM_BROWSE, IDC_SYSTEM_FIND, IDC_SYSTEM_RUN_MAILER,
                                                             IDC_SYSTEM_LAN, IDOK, IDCANCEL, IDC_SHEET_HELP});
        check_page_layout(settings_sheet(), p);
        choose_tab(1);
    });
    script.then([&] {
        HWND p = page();
        CHECK_FALSE(checked(p, IDC_SOUND_PLAY));
        CHECK_FALSE(checked(p, IDC_SOUND_REPEAT));
        CHECK_FALSE(checked(p, IDC_SOUND_WINDOW_OPEN));
        CHECK(SendDlgItemMessageA(p, IDC_SOUND_ACCOUNT, CB_GETCOUNT, 0, 0) == 2);
        CHECK(combo_text(p, IDC_SOUND_ACCOUNT, 0) == "Home");
        CHECK(combo_text(p, IDC_SOUND_ACCOUNT, 1) == "Work");
        CHECK(SendDlgItemMessageA(p, IDC_SOUND_ACCOUNT, CB_GETCURSEL, 0, 0) == 0);
        CHECK(text(p, IDC_SOUND_FILE) == "C:\\Sounds\\Home.wav");
        // Play sound is off: what it governs waits.
        for (int id : {IDC_SOUND_REPEAT, IDC_SOUND_WINDOW_OPEN, IDC_SOUND_ACCOUNT, IDC_SOUND_FILE, IDC_SOUND_BROWSE,
                       IDC_SOUND_TEST})
            CHECK_FALSE(enabled(p, id));
        press(p, IDC_SOUND_PLAY);
        keep_shot(settings_sheet(), "settings_sound");
        check_page_layout(settings_sheet(), p);
        choose_tab(2);
    });
    script.then([&] {
        HWND p = page();
        CHECK_FALSE(checked(p, IDC_VISUAL_FLASH));
        CHECK_FALSE(checked(p, IDC_VISUAL_CHECKING));
        CHECK_FALSE(checked(p, IDC_VISUAL_ERROR));
        CHECK(checked(p, IDC_VISUAL_UNREAD));
        CHECK_FALSE(checked(p, IDC_VISUAL_ALL));
        keep_shot(settings_sheet(), "settings_visual");
        check_page_layout(settings_sheet(), p);
        choose_tab(3);
    });
    script.then([&] {
        HWND p = page();
        CHECK(checked(p, IDC_CUSTOMIZE_OPEN));
        CHECK_FALSE(checked(p, IDC_CUSTOMIZE_CHECK_ALL));
        CHECK(reinterpret_cast<HICON>(SendDlgItemMessageA(p, IDC_CUSTOMIZE_NORMAL, BM_GETIMAGE, IMAGE_ICON, 0)) ==
              bench.tray->icon(Settings::normal_icon));
        keep_shot(settings_sheet(), "settings_customize");
        check_page_layout(settings_sheet(), p);
        choose_tab(4);
    });
    script.then([&] {
        HWND p = page();
        CHECK_FALSE(checked(p, IDC_LOG_PAGE_WRITE));
        CHECK(text(p, IDC_LOG_PAGE_PATH) == "kivo.log");
        CHECK_FALSE(enabled(p, IDC_LOG_PAGE_PATH));
        CHECK_FALSE(enabled(p, IDC_LOG_PAGE_BROWSE));
        keep_shot(settings_sheet(), "settings_log");
        check_page_layout(settings_sheet(), p);
        post_click(settings_sheet(), IDCANCEL);
    });
    CHECK_FALSE(bench.run(script).accepted);
    CHECK(registry_snapshot() == before);
    CHECK(bench.shortcut.calls.empty());
    CHECK(bench.saves == 0);
}

TEST_CASE("odd stored values: a flag of 2, a 43-byte placement and an expandable mail client")
{
    SettingsBench bench([] {
        put_dword("WinStartup", 1);
        put_dword("HideStart", 2);
        std::vector<BYTE> short_placement(43, 7);
        put_value("MainWindowPlacement", REG_BINARY, short_placement.data(), 43);
        const char mailer[] = "%SystemRoot%\\mail.exe";
        put_value("MailClient", REG_EXPAND_SZ, mailer, sizeof mailer);
    });
    char expanded[MAX_PATH] = {};
    ExpandEnvironmentStringsA("%SystemRoot%\\mail.exe", expanded, MAX_PATH);
    DialogScript script;
    script.then([&] {
        HWND p = page();
        CHECK(checked(p, IDC_SYSTEM_STARTUP));
        CHECK_FALSE(checked(p, IDC_SYSTEM_HIDE));  // 2 is not "on"
        CHECK(text(p, IDC_SYSTEM_MAILER) == expanded);
        post_click(settings_sheet(), IDOK);
    });
    CHECK(bench.run(script).accepted);
    DWORD value = 99;
    REQUIRE(read_dword(kSettingsKey, "HideStart", value));
    CHECK(value == 0);
    REQUIRE(read_dword(kSettingsKey, "WinStartup", value));
    CHECK(value == 1);
    CHECK(bench.shortcut.calls == std::vector<std::string>{"write"});
    CHECK(read_binary(kSettingsKey, "MainWindowPlacement") == std::vector<BYTE>(44, 0));
    CHECK(read_string(kSettingsKey, "MailClient") == expanded);  // written back plain
}

TEST_CASE("OK applies the shown pages as Customize, Sound, System, Visual effects, Log, then saves")
{
    SettingsBench bench;
    bench.files.font_answers.push_back(tahoma());
    struct Seen {
        bool font_new = false, sound_new = false, flash_new = false, log_new = false;
    } at_system;
    bench.shortcut.on_call = [&] {
        at_system.font_new = std::string(dialogs::to_logfont(bench.settings.font).lfFaceName) == "Tahoma";
        at_system.sound_new = bench.owned[1]->sound_file() == "D:\\typed.wav";
        at_system.flash_new = bench.settings.flash_icon;
        at_system.log_new = bench.log.write_to_file();
    };
    bool settings_saved_first = false;
    bench.on_save_accounts = [&] { settings_saved_first = read_string(kSettingsKey, "MailClient") == kDefaultMailer; };
    DialogScript script;
    script.then([&] {
        press(page(), IDC_SYSTEM_STARTUP);
        choose_tab(4);
    });
    script.then([&] {
        press(page(), IDC_LOG_PAGE_WRITE);
        choose_tab(2);
    });
    script.then([&] {
        press(page(), IDC_VISUAL_FLASH);
        choose_tab(3);
    });
    script.then([&] { post_click(page(), IDC_CUSTOMIZE_FONT); });
    script.then([&] { choose_tab(1); });
    script.then([&] {
        HWND p = page();
        press(p, IDC_SOUND_PLAY);
        SendDlgItemMessageA(p, IDC_SOUND_ACCOUNT, CB_SETCURSEL, 1, 0);
        SendMessageA(p, WM_COMMAND, MAKEWPARAM(IDC_SOUND_ACCOUNT, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(p, IDC_SOUND_ACCOUNT)));
        // Typed, and OK pressed with the focus still in the edit.
        SetFocus(GetDlgItem(p, IDC_SOUND_FILE));
        type_text(p, IDC_SOUND_FILE, "D:\\typed.wav");
        post_click(settings_sheet(), IDOK);
    });
    dialogs::SettingsSheetResult result = bench.run(script);
    CHECK(result.accepted);
    CHECK(result.font_changed);
    CHECK(result.visual_changed);
    CHECK_FALSE(result.shortcut_failed);
    CHECK(at_system.font_new);
    CHECK(at_system.sound_new);
    CHECK_FALSE(at_system.flash_new);
    CHECK_FALSE(at_system.log_new);
    CHECK(bench.saves == 1);
    CHECK(settings_saved_first);
    CHECK(bench.owned[0]->sound_file() == "C:\\Sounds\\Home.wav");
    CHECK(read_string((std::string(kAccountsKey) + "\\Work").c_str(), "SoundFile") == "D:\\typed.wav");
    DWORD value = 0;
    CHECK((read_dword(kSettingsKey, "FlashIcon", value) && value == 1));
    CHECK((read_dword(kSettingsKey, "PlaySound", value) && value == 1));
    CHECK((read_dword(kSettingsKey, "WinStartup", value) && value == 1));
    CHECK((read_dword(kSettingsKey, "HideStart", value) && value == 1));  // checked along with start-up
    CHECK((read_dword(kSettingsKey, "WriteLog", value) && value == 1));
    CHECK(read_binary(kSettingsKey, "Font") ==
          std::vector<BYTE>(bench.settings.font.begin(), bench.settings.font.end()));
}

TEST_CASE("pages never shown are not applied: what changed meanwhile is saved as it is")
{
    SettingsBench bench;
    bench.log.set_log_file("old.log");
    DialogScript script;
    script.then([&] {
        // Changed behind the sheet's back (as the tray would): only the
        // System page, the one shown, may overwrite its own fields.
        bench.settings.flash_icon = true;
        bench.settings.play_sound = true;
        bench.settings.double_click = Settings::DoubleClick::check_all;
        bench.log.set_log_file("elsewhere.log");
        bench.owned[0]->set_sound_file("E:\\meanwhile.wav");
        post_click(settings_sheet(), IDOK);
    });
    dialogs::SettingsSheetResult result = bench.run(script);
    CHECK(result.accepted);
    CHECK_FALSE(result.visual_changed);
    CHECK_FALSE(result.font_changed);
    CHECK(bench.settings.flash_icon);
    CHECK(bench.settings.play_sound);
    CHECK(bench.settings.double_click == Settings::DoubleClick::check_all);
    CHECK(bench.owned[0]->sound_file() == "E:\\meanwhile.wav");
    CHECK(bench.shortcut.calls == std::vector<std::string>{"remove"});
    // The Log page was not shown: the log options are not written by it.
    CHECK(read_string(kSettingsKey, "LogFile") == "(none)");
    DWORD value = 0;
    CHECK((read_dword(kSettingsKey, "LeftMouseButtonDoubleClickAction", value) && value == 1));
}

TEST_CASE("Cancel after changes on every page writes nothing, but a chosen tray icon stays")
{
    SettingsBench bench;
    bench.files.file_answers = {std::string("C:\\Program Files\\mailer.exe"), std::string("C:\\Icons\\red.ico"),
                                std::string("C:\\Sounds\\new.wav"), std::string("C:\\Logs\\k.log")};
    bench.files.font_answers.push_back(tahoma());
    auto before = registry_snapshot();
    DialogScript script;
    script.then([&] {
        press(page(), IDC_SYSTEM_STARTUP);
        press(page(), IDC_SYSTEM_DIALUP);
        post_click(page(), IDC_SYSTEM_BROWSE);
    });
    script.then([&] {
        CHECK(text(page(), IDC_SYSTEM_MAILER) == "\"C:\\Program Files\\mailer.exe\"");
        CHECK(bench.settings.mail_client == kDefaultMailer);  // not before OK
        choose_tab(3);
    });
    script.then([&] { post_click(page(), IDC_CUSTOMIZE_ERROR); });
    script.then([&] {
        HWND p = page();
        CHECK(reinterpret_cast<HICON>(SendDlgItemMessageA(p, IDC_CUSTOMIZE_ERROR, BM_GETIMAGE, IMAGE_ICON, 0)) ==
              bench.tray->icon(Settings::error_icon));
        post_click(p, IDC_CUSTOMIZE_FONT);
    });
    script.then([&] {
        press(page(), IDC_CUSTOMIZE_CHECK_ALL);
        choose_tab(1);
    });
    script.then([&] {
        press(page(), IDC_SOUND_PLAY);
        post_click(page(), IDC_SOUND_BROWSE);
    });
    script.then([&] {
        CHECK(text(page(), IDC_SOUND_FILE) == "C:\\Sounds\\new.wav");
        choose_tab(2);
    });
    script.then([&] {
        press(page(), IDC_VISUAL_ALL);
        choose_tab(4);
    });
    script.then([&] {
        press(page(), IDC_LOG_PAGE_WRITE);
        post_click(page(), IDC_LOG_PAGE_BROWSE);
    });
    script.then([&] {
        CHECK(text(page(), IDC_LOG_PAGE_PATH) == "C:\\Logs\\k.log");
        post_click(settings_sheet(), IDCANCEL);
    });
    dialogs::SettingsSheetResult result = bench.run(script);
    CHECK_FALSE(result.accepted);
    CHECK_FALSE(result.font_changed);
    CHECK(registry_snapshot() == before);
    CHECK(bench.shortcut.calls.empty());
    CHECK(bench.saves == 0);
    CHECK(bench.settings.mail_client == kDefaultMailer);
    CHECK_FALSE(bench.settings.dial_up());
    CHECK_FALSE(bench.settings.has_font());
    CHECK_FALSE(bench.settings.count_all_messages);
    CHECK(bench.settings.double_click == Settings::DoubleClick::open_window);
    CHECK(bench.owned[0]->sound_file() == "C:\\Sounds\\Home.wav");
    CHECK_FALSE(bench.log.write_to_file());
    CHECK(bench.files.unanswered == 0);
    // The icon took effect at once and is saved with the next save.
    CHECK(bench.settings.icon_files[Settings::error_icon] == "C:\\Icons\\red.ico");
    bench.settings.Save();
    CHECK(read_string(kSettingsKey, "ErrorIconPath") == "C:\\Icons\\red.ico");
    CHECK(read_string(kSettingsKey, "NormalIconPath") == "Default");
}

TEST_CASE("the start-up shortcut is made through the shell, removed on unchecking, and a failure is told")
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "kivo_settings_startup";
    CreateDirectoryA(folder.c_str(), nullptr);
    dialogs::ShellStartupShortcut real(folder);
    {
        SettingsBench bench;
        bench.args.shortcut = &real;
        DialogScript script;
        script.then([&] {
            press(page(), IDC_SYSTEM_STARTUP);
            post_click(settings_sheet(), IDOK);
        });
        CHECK(bench.run(script).accepted);
        std::string target, description;
        REQUIRE(dialogs::read_shortcut(real.path(), target, description));
        char own[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, own, MAX_PATH);
        CHECK(lstrcmpiA(target.c_str(), own) == 0);
        CHECK(description == "Kivo");
        DWORD value = 0;
        CHECK((read_dword(kSettingsKey, "WinStartup", value) && value == 1));
    }
    {
        SettingsBench bench([] { put_dword("WinStartup", 1); });
        bench.args.shortcut = &real;
        DialogScript script;
        script.then([&] {
            CHECK(checked(page(), IDC_SYSTEM_STARTUP));
            press(page(), IDC_SYSTEM_STARTUP);
            CHECK(checked(page(), IDC_SYSTEM_HIDE) == bench.settings.hide_start);  // unchecking leaves it
            post_click(settings_sheet(), IDOK);
        });
        CHECK(bench.run(script).accepted);
        CHECK(GetFileAttributesA(real.path().c_str()) == INVALID_FILE_ATTRIBUTES);
        DWORD value = 9;
        CHECK((read_dword(kSettingsKey, "WinStartup", value) && value == 0));
    }
    {
        SettingsBench bench;
        dialogs::ShellStartupShortcut nowhere(folder + "\\missing");
        bench.args.shortcut = &nowhere;
        // Made once the sheet is up: it answers the next dialog activated.
        std::unique_ptr<BoxWatcher> watcher;
        DialogScript script;
        script.then([&] {
            watcher = std::make_unique<BoxWatcher>(IDOK);
            press(page(), IDC_SYSTEM_STARTUP);
            post_click(settings_sheet(), IDOK);
        });
        dialogs::SettingsSheetResult result = bench.run(script);
        CHECK(result.accepted);
        CHECK(result.shortcut_failed);
        REQUIRE(watcher);
        CHECK(watcher->box().seen);
        CHECK(watcher->box().text.find("could not be written") != std::string::npos);
        DWORD value = 9;
        CHECK((read_dword(kSettingsKey, "WinStartup", value) && value == 0));  // not claimed
    }
    RemoveDirectoryA(folder.c_str());
}

TEST_CASE("Help opens the topic of the current tab, the Log tab's too")
{
    SettingsBench bench;
    DialogScript script;
    for (int tab = 0; tab < 5; ++tab)
        script.then([tab] {
            choose_tab(tab);
            post_click(settings_sheet(), IDC_SHEET_HELP);
        });
    script.then([] { post_click(settings_sheet(), IDCANCEL); });
    bench.run(script);
    CHECK(bench.help.topics == std::vector<std::string>{help::kSettingsSystem, help::kSettingsSound,
                                                        help::kSettingsVisual, help::kSettingsCustomize,
                                                        help::kSettingsLog});
    CHECK(bench.help.topics[1] == "::/settings.htm#sound");
}
