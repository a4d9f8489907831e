#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "dialog_probe.h"
#include "dialog_script.h"
#include "dialogs/about_box.h"
#include "dialogs/account_wizard.h"
#include "dialogs/dialog_ids.h"
#include "dialogs/font_apply.h"
#include "dialogs/startup_shortcut.h"
#include "message_ids.h"
#include "platform/message_text.h"
#include "platform/program_folder.h"
#include "ui/version_info.h"
#include "wizard_probe.h"

using kivo::test::DialogScript;
using kivo::test::item_text;
using kivo::test::type_text;
using namespace wizard_probe;

namespace {

bool usable(int id)
{
    HWND button = GetDlgItem(wizard(), id);
    return button && IsWindowVisible(button) && IsWindowEnabled(button);
}

}  // namespace

TEST_CASE("the wizard's Next and Finish follow the fields, and it returns the new account")
{
    kivo::dialogs::AccountWizardArgs args;
    args.module = GetModuleHandleA(nullptr);
    args.existing_names = {"Home"};
    struct Seen {
        bool back, next, finish;
    };
    std::vector<Seen> seen;
    auto look = [&] { seen.push_back({usable(kBackButton), usable(kNextButton), usable(kFinishButton)}); };
    std::string problem;

    // The wizard sets its buttons with a posted message, and a pressed
    // button turns the page with another: each look waits one step.
    DialogScript script;
    auto settle = [&] { script.then([] {}); };
    settle();
    script.then([&] {
        REQUIRE(wizard());
        char caption[64] = {};
        GetWindowTextA(wizard(), caption, sizeof caption);
        CHECK(std::string(caption) == "Accounts Wizard");
        kivo::test::keep_shot(wizard(), "wizard_name");
        look();  // 0: blank name
        type_text(page(), IDC_ACCOUNT_NAME, "home");
    });
    settle();
    script.then([&] {
        look();  // 1: a twin of "Home"
        problem = item_text(page(), IDC_ACCOUNT_PROBLEM);
        type_text(page(), IDC_ACCOUNT_NAME, "W");
    });
    settle();
    script.then([&] {
        look();  // 2: one character
        press(PSBTN_NEXT);
    });
    settle();
    settle();
    script.then([&] {
        look();  // 3: blank server
        type_text(page(), IDC_ACCOUNT_HOST, "pop.example.com");
    });
    settle();
    script.then([&] { press(PSBTN_NEXT); });
    settle();
    settle();
    script.then([&] { type_text(page(), IDC_ACCOUNT_USER, "bob"); });
    settle();
    script.then([&] {
        look();  // 4: user but no password
        type_text(page(), IDC_ACCOUNT_PASSWORD, "secret");
    });
    settle();
    script.then([&] {
        look();  // 5: both
        kivo::test::keep_shot(wizard(), "wizard_login");
    });

    SUBCASE("finished")
    {
        script.then([&] { press(PSBTN_FINISH); });
        script.start();
        std::optional<kivo::AccountSettings> made = kivo::dialogs::run_account_wizard(args);
        REQUIRE(made);
        CHECK(made->name == "W");
        CHECK(made->host == "pop.example.com");
        CHECK(made->user == "bob");
        CHECK(made->password == "secret");
        CHECK(made->secure_auth);
        CHECK(made->port == 110);
        // The same default sound a loaded account without one gets.
        CHECK(made->sound_file == kivo::platform::program_folder() + "kivo.wav");
    }
    SUBCASE("cancelled on the last step")
    {
        script.then([&] { press(PSBTN_CANCEL); });
        script.start();
        CHECK_FALSE(kivo::dialogs::run_account_wizard(args));
    }
    CHECK(script.all_run());
    CHECK_FALSE(script.step_failed());
    REQUIRE(seen.size() == 6);
    CHECK_FALSE(seen[0].next);
    CHECK_FALSE(seen[1].next);
    CHECK(problem == kivo::platform::message_text(kivo::MSG_ACCOUNT_NAME_TAKEN));
    CHECK(seen[2].next);
    CHECK(seen[3].back);
    CHECK_FALSE(seen[3].next);
    CHECK(seen[4].back);
    CHECK_FALSE(seen[4].finish);
    CHECK(seen[5].finish);
}

TEST_CASE("About shows the version record and opens its two links")
{
    std::vector<std::string> opened;
    kivo::dialogs::AboutArgs args;
    args.module = GetModuleHandleA(nullptr);
    args.open = [&](const std::string& target) { opened.push_back(target); };
    std::string product, version, copyright;
    DialogScript script;
    script.then([&] {
        HWND d = kivo::test::find_dialog("About");
        REQUIRE(d);
        kivo::test::keep_shot(d, "about");
        product = item_text(d, IDC_ABOUT_PRODUCT);
        version = item_text(d, IDC_ABOUT_VERSION);
        copyright = item_text(d, IDC_ABOUT_COPYRIGHT);
        for (int id : {IDC_ABOUT_HOME, IDC_ABOUT_SUPPORT})
            SendMessageA(d, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, id)));
        kivo::test::click(d, IDOK);
    });
    script.start();
    kivo::dialogs::show_about(args);
    CHECK(script.all_run());
    HMODULE self = GetModuleHandleA(nullptr);
    CHECK_FALSE(product.empty());
    CHECK(product == kivo::ui::version_value(self, "ProductName"));
    CHECK(version == kivo::ui::version_value(self, "ProductVersion"));
    CHECK(copyright == kivo::ui::version_value(self, "LegalCopyright"));
    CHECK(opened == std::vector<std::string>{kivo::dialogs::kHomePage,
                                             std::string("mailto:") + kivo::dialogs::kSupportAddress});
}

TEST_CASE("a stored font description is read safely and a font change never leaves a window on a deleted font")
{
    LOGFONTA font{};
    font.lfHeight = -13;
    font.lfWeight = FW_BOLD;
    font.lfItalic = 1;
    lstrcpyA(font.lfFaceName, "Tahoma");
    kivo::Settings::Font stored = kivo::dialogs::from_logfont(font);
    LOGFONTA back = kivo::dialogs::to_logfont(stored);
    CHECK(back.lfHeight == -13);
    CHECK(back.lfWeight == FW_BOLD);
    CHECK(back.lfItalic == 1);
    CHECK(std::string(back.lfFaceName) == "Tahoma");

    kivo::Settings::Font unterminated = stored;
    for (std::size_t i = 28; i < 60; ++i)
        unterminated[i] = 'A';
    CHECK(std::string(kivo::dialogs::to_logfont(unterminated).lfFaceName) == std::string(31, 'A'));

    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    HWND child = CreateWindowExA(0, "STATIC", "x", WS_CHILD, 0, 0, 50, 20, parent, nullptr, nullptr, nullptr);
    kivo::ui::FontHandle current;
    CHECK_FALSE(kivo::dialogs::apply_font(parent, kivo::Settings::Font{}, current));  // no face: nothing changes
    CHECK_FALSE(current);
    REQUIRE(kivo::dialogs::apply_font(parent, stored, current));
    HFONT first = current.get();
    CHECK(reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0)) == first);
    REQUIRE(kivo::dialogs::apply_font(parent, kivo::dialogs::from_logfont(back), current));
    CHECK(reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0)) == current.get());
    CHECK(current.get() != first);
    DestroyWindow(parent);
}

TEST_CASE("the start-up shortcut is written over the old one, read back through the shell, and removed")
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "kivo_startup_test";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string target = folder + "\\kivo.exe";
    HANDLE exe = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(exe);

    kivo::dialogs::ShellStartupShortcut shortcut(folder, target);
    CHECK(shortcut.path() == folder + "\\kivo.lnk");
    REQUIRE(shortcut.write());
    REQUIRE(shortcut.write());  // again: the old link is replaced, not refused
    std::string read_target, description;
    REQUIRE(kivo::dialogs::read_shortcut(shortcut.path(), read_target, description));
    CHECK(lstrcmpiA(read_target.c_str(), target.c_str()) == 0);
    CHECK(description == "Kivo");
    CHECK(GetFileAttributesA((shortcut.path() + ".new").c_str()) == INVALID_FILE_ATTRIBUTES);

    CHECK(shortcut.remove());
    CHECK(GetFileAttributesA(shortcut.path().c_str()) == INVALID_FILE_ATTRIBUTES);
    CHECK(shortcut.remove());  // nothing left to remove is fine

    // A folder that does not exist: the write fails and says so.
    kivo::dialogs::ShellStartupShortcut nowhere(folder + "\\missing", target);
    CHECK_FALSE(nowhere.write());
    DeleteFileA(target.c_str());
    RemoveDirectoryA(folder.c_str());
}
