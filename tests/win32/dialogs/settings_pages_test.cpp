// The rules inside the Settings sheet's pages, each driven as a user would.
#include <doctest/doctest.h>

#include <windows.h>

#include <memory>

#include "box_watcher.h"
#include "dialog_probe.h"
#include "dialogs/font_apply.h"
#include "dialogs/settings_ids.h"
#include "dialogs/settings_rules.h"
#include "platform/registry_paths.h"
#include "settings_fixture.h"

using namespace kivo;
using namespace kivo::test;

namespace {

void select_account(HWND p, int row)
{
    SendDlgItemMessageA(p, IDC_SOUND_ACCOUNT, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
    SendMessageA(p, WM_COMMAND, MAKEWPARAM(IDC_SOUND_ACCOUNT, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(p, IDC_SOUND_ACCOUNT)));
}

// Pastes at the caret, as Ctrl+V would.
void paste(HWND p, int id, const std::string& text)
{
    SendDlgItemMessageA(p, id, EM_SETSEL, 0, -1);
    SendDlgItemMessageA(p, id, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace

TEST_CASE("a chosen program is quoted once; a command that is quoted already stays as it is")
{
    CHECK(dialogs::quoted_program("C:\\Program Files\\Mail\\mail.exe") == "\"C:\\Program Files\\Mail\\mail.exe\"");
    CHECK(dialogs::quoted_program("\"C:\\x.exe\" /n") == "\"C:\\x.exe\" /n");
    CHECK(dialogs::quoted_program("").empty());
}

TEST_CASE("System page: start-up checks Hide, Find and \"...\" fill the field, Run mail client needs a client")
{
    SettingsBench bench([] { put_dword("RunMailerAfterNewMail", 1); });
    bench.files.file_answers = {std::nullopt, std::string("C:\\Program Files\\My Mail\\mm.exe")};
    DialogScript script;
    script.then([&] {
        HWND p = page();
        press(p, IDC_SYSTEM_STARTUP);
        CHECK(checked(p, IDC_SYSTEM_HIDE));
        press(p, IDC_SYSTEM_HIDE);
        press(p, IDC_SYSTEM_STARTUP);
        press(p, IDC_SYSTEM_STARTUP);
        CHECK(checked(p, IDC_SYSTEM_HIDE));  // checked again with start-up
        press(p, IDC_SYSTEM_STARTUP);
        CHECK(checked(p, IDC_SYSTEM_HIDE));  // unchecking start-up leaves it
        type_text(p, IDC_SYSTEM_MAILER, "");
        CHECK_FALSE(enabled(p, IDC_SYSTEM_RUN_MAILER));
        post_click(p, IDC_SYSTEM_FIND);
    });
    script.then([&] {
        HWND p = page();
        CHECK(text(p, IDC_SYSTEM_MAILER) == kDefaultMailer);
        CHECK(enabled(p, IDC_SYSTEM_RUN_MAILER));
        post_click(p, IDC_SYSTEM_BROWSE);  // cancelled
    });
    script.then([&] {
        HWND p = page();
        CHECK(text(p, IDC_SYSTEM_MAILER) == kDefaultMailer);
        post_click(p, IDC_SYSTEM_BROWSE);
    });
    script.then([&] {
        HWND p = page();
        CHECK(text(p, IDC_SYSTEM_MAILER) == "\"C:\\Program Files\\My Mail\\mm.exe\"");
        type_text(p, IDC_SYSTEM_MAILER, "");
        press(p, IDC_SYSTEM_DIALUP);
        post_click(settings_sheet(), IDOK);
    });
    CHECK(bench.run(script).accepted);
    REQUIRE(bench.files.requests.size() == 2);
    const auto& filters = bench.files.requests[1].file.filters;
    REQUIRE(filters.size() == 2);
    CHECK(filters[0].patterns == "*.exe");
    CHECK(filters[1].patterns == "*.*");
    CHECK(bench.settings.mail_client.empty());
    CHECK(bench.settings.run_mailer_after_new_mail());  // not taken without a client
    CHECK(bench.settings.dial_up());
    DWORD value = 9;
    CHECK((read_dword(kSettingsKey, "InetConnectionType", value) && value == 0));
    CHECK((read_dword(kSettingsKey, "HideStart", value) && value == 1));
    CHECK((read_dword(kSettingsKey, "WinStartup", value) && value == 0));
}

TEST_CASE("a program chosen with \"...\" is stored quoted on OK")
{
    SettingsBench bench;
    bench.files.file_answers = {std::string("C:\\Program Files\\My Mail\\mm.exe")};
    DialogScript script;
    script.then([&] { post_click(page(), IDC_SYSTEM_BROWSE); });
    script.then([&] {
        press(page(), IDC_SYSTEM_RUN_MAILER);
        post_click(settings_sheet(), IDOK);
    });
    CHECK(bench.run(script).accepted);
    CHECK(bench.settings.mail_client == "\"C:\\Program Files\\My Mail\\mm.exe\"");
    CHECK(read_string(kSettingsKey, "MailClient") == "\"C:\\Program Files\\My Mail\\mm.exe\"");
    CHECK(bench.settings.run_mailer_after_new_mail());
}

TEST_CASE("Sound page: each account keeps its own pending file, Test plays without waiting")
{
    SettingsBench bench([] { put_dword("PlaySound", 1); }, 3);
    bench.files.file_answers = {std::string("C:\\Chosen\\club.wav")};
    DialogScript script;
    script.then([&] { choose_tab(1); });
    script.then([&] {
        HWND p = page();
        CHECK(enabled(p, IDC_SOUND_FILE));
        type_text(p, IDC_SOUND_FILE, "C:\\typed\\home.wav");
        select_account(p, 1);  // the typed text goes with Home
        CHECK(text(p, IDC_SOUND_FILE) == "C:\\Sounds\\Work.wav");
        post_click(p, IDC_SOUND_TEST);
    });
    script.then([&] {
        CHECK(bench.played == std::vector<std::string>{"C:\\Sounds\\Work.wav"});
        HWND p = page();
        select_account(p, 2);
        post_click(p, IDC_SOUND_BROWSE);
    });
    script.then([&] {
        HWND p = page();
        CHECK(text(p, IDC_SOUND_FILE) == "C:\\Chosen\\club.wav");
        select_account(p, 0);
        CHECK(text(p, IDC_SOUND_FILE) == "C:\\typed\\home.wav");
        // A typed path longer than any field is cut at 260 characters.
        paste(p, IDC_SOUND_FILE, "C:\\" + std::string(400, 'x'));
        CHECK(text(p, IDC_SOUND_FILE).size() == 260);
        type_text(p, IDC_SOUND_FILE, "C:\\typed\\home.wav");
        press(p, IDC_SOUND_PLAY);  // off: what it governs waits
        CHECK_FALSE(enabled(p, IDC_SOUND_FILE));
        CHECK_FALSE(enabled(p, IDC_SOUND_TEST));
        CHECK(enabled(p, IDC_SOUND_PLAY));
        post_click(settings_sheet(), IDOK);
    });
    CHECK(bench.run(script).accepted);
    REQUIRE(bench.files.requests.size() == 1);
    CHECK(bench.files.requests[0].file.filters[0].patterns == "*.wav");
    CHECK(bench.owned[0]->sound_file() == "C:\\typed\\home.wav");
    CHECK(bench.owned[1]->sound_file() == "C:\\Sounds\\Work.wav");
    CHECK(bench.owned[2]->sound_file() == "C:\\Chosen\\club.wav");
    CHECK_FALSE(bench.settings.play_sound);
    CHECK(read_string((std::string(kAccountsKey) + "\\Club").c_str(), "SoundFile") == "C:\\Chosen\\club.wav");
}

TEST_CASE("Sound page without accounts: nothing to edit, and OK still works")
{
    SettingsBench bench([] { put_dword("PlaySound", 1); }, 0);
    DialogScript script;
    script.then([&] { choose_tab(1); });
    script.then([&] {
        HWND p = page();
        for (int id : {IDC_SOUND_PLAY, IDC_SOUND_REPEAT, IDC_SOUND_WINDOW_OPEN, IDC_SOUND_ACCOUNT, IDC_SOUND_FILE,
                       IDC_SOUND_BROWSE, IDC_SOUND_TEST})
            CHECK_FALSE(enabled(p, id));
        CHECK(text(p, IDC_SOUND_FILE).empty());
        // Even a message that reaches the buttons finds no account to act on.
        post_click(p, IDC_SOUND_BROWSE);
        post_click(p, IDC_SOUND_TEST);
    });
    script.then([&] { post_click(settings_sheet(), IDOK); });
    CHECK(bench.run(script).accepted);
    CHECK(bench.files.requests.empty());
    CHECK(bench.played.empty());
    CHECK(bench.settings.play_sound);
}

TEST_CASE("Visual effects page: only a real change asks for a new tray icon")
{
    SettingsBench bench([] { put_dword("ShowChecking", 1); });
    DialogScript script;
    script.then([&] { choose_tab(2); });
    script.then([&] {
        HWND p = page();
        CHECK(checked(p, IDC_VISUAL_CHECKING));
        press(p, IDC_VISUAL_ERROR);
        press(p, IDC_VISUAL_ERROR);  // and back
        post_click(settings_sheet(), IDOK);
    });
    CHECK_FALSE(bench.run(script).visual_changed);

    DialogScript again;
    again.then([&] { choose_tab(2); });
    again.then([&] {
        press(page(), IDC_VISUAL_ALL);
        post_click(settings_sheet(), IDOK);
    });
    CHECK(bench.run(again).visual_changed);
    CHECK(bench.settings.count_all_messages);
    CHECK(bench.settings.show_checking);
}

TEST_CASE("Customize page: icons act at once, a file without one is told, the font dialog starts from the stored font")
{
    LOGFONTA stored{};
    stored.lfHeight = -12;
    lstrcpyA(stored.lfFaceName, "Courier New");
    Settings::Font stored_bytes = dialogs::from_logfont(stored);
    SettingsBench bench([&] { put_value("Font", REG_BINARY, stored_bytes.data(), Settings::kFontSize); });
    bench.files.file_answers = {std::string("C:\\Icons\\check.ico"), std::string("C:\\notes.txt")};
    LOGFONTA unmakeable{};  // no face: no font can be made from it
    bench.files.font_answers.push_back(unmakeable);
    std::unique_ptr<BoxWatcher> watcher;  // made once the sheet is up
    DialogScript script;
    script.then([&] { choose_tab(3); });
    script.then([&] { post_click(page(), IDC_CUSTOMIZE_CHECK); });
    script.then([&] {
        CHECK(bench.settings.icon_files[Settings::check_icon] == "C:\\Icons\\check.ico");
        watcher = std::make_unique<BoxWatcher>(IDOK);
        post_click(page(), IDC_CUSTOMIZE_NORMAL);
    });
    script.then([&] {
        CHECK(watcher->box().seen);
        CHECK(watcher->box().text.find("C:\\notes.txt") != std::string::npos);
        CHECK(bench.settings.icon_files[Settings::normal_icon].empty());
        post_click(page(), IDC_CUSTOMIZE_RESTORE);
    });
    script.then([&] {
        CHECK(bench.settings.icon_files[Settings::check_icon].empty());
        post_click(page(), IDC_CUSTOMIZE_FONT);
    });
    script.then([&] { post_click(settings_sheet(), IDOK); });
    dialogs::SettingsSheetResult result = bench.run(script);
    CHECK(result.accepted);
    CHECK(bench.tray->calls ==
          std::vector<std::string>{"load 1 C:\\Icons\\check.ico", "load 0 C:\\notes.txt", "restore"});
    REQUIRE(bench.files.requests.size() == 3);
    CHECK(bench.files.requests[0].file.filters[0].patterns == "*.ico");
    CHECK(std::string(bench.files.requests[2].font.lfFaceName) == "Courier New");
    CHECK(bench.files.requests[2].font.lfHeight == -12);
    // The font chosen could not be made: the old one stays, in use and stored.
    CHECK_FALSE(result.font_changed);
    CHECK(bench.settings.font == stored_bytes);
}

TEST_CASE("Log page: the path follows the check box, and OK hands both to the log, which stores them")
{
    SettingsBench bench;
    bench.files.file_answers = {std::string("C:\\Logs\\mail.log")};
    DialogScript script;
    script.then([&] { choose_tab(4); });
    script.then([&] {
        HWND p = page();
        press(p, IDC_LOG_PAGE_WRITE);
        CHECK(enabled(p, IDC_LOG_PAGE_PATH));
        CHECK(enabled(p, IDC_LOG_PAGE_BROWSE));
        CHECK(SendDlgItemMessageA(p, IDC_LOG_PAGE_PATH, EM_GETLIMITTEXT, 0, 0) == 260);
        post_click(p, IDC_LOG_PAGE_BROWSE);
    });
    script.then([&] { post_click(settings_sheet(), IDOK); });
    CHECK(bench.run(script).accepted);
    REQUIRE(bench.files.requests.size() == 1);
    CHECK(bench.files.requests[0].kind == ScriptedCommonDialogs::Kind::save);
    CHECK(bench.files.requests[0].file.default_extension == "log");
    CHECK(bench.files.requests[0].file.filters[0].patterns == "*.log");
    CHECK(bench.log.write_to_file());
    CHECK(bench.log.log_file() == "C:\\Logs\\mail.log");
    DWORD value = 0;
    CHECK((read_dword(kSettingsKey, "WriteLog", value) && value == 1));
    CHECK(read_string(kSettingsKey, "LogFile") == "C:\\Logs\\mail.log");
}

TEST_CASE("overlong text pasted into the path fields stops at 260 characters, and is stored so")
{
    SettingsBench bench;
    std::string huge = "C:\\" + std::string(5000, 'p');
    DialogScript script;
    script.then([&] {
        paste(page(), IDC_SYSTEM_MAILER, huge);
        CHECK(text(page(), IDC_SYSTEM_MAILER).size() == 260);
        choose_tab(4);
    });
    script.then([&] {
        press(page(), IDC_LOG_PAGE_WRITE);
        paste(page(), IDC_LOG_PAGE_PATH, huge);
        post_click(settings_sheet(), IDOK);
    });
    CHECK(bench.run(script).accepted);
    CHECK(bench.settings.mail_client == huge.substr(0, 260));
    CHECK(bench.log.log_file() == huge.substr(0, 260));
}
