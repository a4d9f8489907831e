// Filters made only through the sheet and its edit dialogs, saved by OK to
// the real files, then read back by another program: kivo-diag classify
// (named by KIVO_DIAG_EXE) loads the folder and classifies sample messages.
// Catches a dialog that stores one thing and a file that loads another.
#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <vector>

#include "filter/email_filter.h"
#include "filter_dialogs/filter_dialog_ids.h"
#include "filter_dialogs/filter_sheet.h"
#include "sheet_driver.h"
#include "support/filter_fakes.h"
#include "support/temp_dir.h"
#include "win32/dialog_script.h"

using namespace kivo;
using namespace kivo::test;

namespace {

HWND sheet_window() { return dialog_titled("Email Filter"); }

void choose(HWND dialog, int combo, int index)
{
    SendDlgItemMessageA(dialog, combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, combo)));
}

// Adds one entry on the tab: Add, then `fill` in the dialog called `caption`, then OK.
void add_on_tab(DialogScript& script, int tab, int add_button, const char* caption,
                std::function<void(HWND)> fill)
{
    script.then([=] {
        HWND sheet = sheet_window();
        REQUIRE(sheet);
        choose_tab(sheet, tab);
        post_click(shown_page(sheet), add_button);
    });
    script.then([=] {
        HWND dialog = dialog_titled(caption);
        REQUIRE(dialog);
        fill(dialog);
        REQUIRE(enabled(dialog, IDOK));
        post_click(dialog, IDOK);
    });
}

// Runs a program and returns what it wrote to standard output.
std::string run_and_read(std::string command_line, DWORD& exit_code)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read_end = nullptr, write_end = nullptr;
    REQUIRE(CreatePipe(&read_end, &write_end, &inherit, 0));
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdOutput = write_end;
    start.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    BOOL started = CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &start, &process);
    CloseHandle(write_end);
    std::string out;
    if (started) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(read_end, buffer, sizeof buffer, &got, nullptr) && got > 0)
            out.append(buffer, got);
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &exit_code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(read_end);
    REQUIRE(started);
    return out;
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
        begin = end + 1;
    }
    return lines;
}

struct Expected {
    const char* file;
    std::string text;
    // The marks and stage as kivo-diag prints them, and an action (or "").
    bool deleted, spammer, uncertain, friendly;
    const char* stage;
    const char* action;
};

std::string flag(const char* name, bool on)
{
    return std::string("\"") + name + "\": " + (on ? "true" : "false");
}

std::string mail(const std::string& header, const std::string& body = "Hello.\r\n")
{
    return header + "\r\n" + body;
}

}  // namespace

TEST_CASE("filters made in the dialogs and saved by OK classify messages as the dialogs said, read back by kivo-diag")
{
    const char* diag = std::getenv("KIVO_DIAG_EXE");
    REQUIRE_MESSAGE(diag, "KIVO_DIAG_EXE is not set (run the test through ctest)");

    TempDir dir;
    RecordingReporter reporter;
    RecordingActions actions;
    filter::EmailFilterConfig config;
    config.folder = dir.folder();
    config.useRegistry = false;
    config.lockTimeoutMs = 100;
    filter::EmailFilter filters(actions, reporter, config);
    filter_dialogs::FilterDialogEnv env;
    env.help = [](HWND, const std::string&) {};
    env.message_box = [](HWND, std::uint32_t, UINT, const std::vector<std::string>&) { return IDYES; };

    DialogScript script;
    // Power (tab 0): subject contains "invoice" and From doesn't contain
    // "boss", marked uncertain, launching a program.
    add_on_tab(script, 0, IDC_PAGE_ADD, "Power Filter Edit", [](HWND d) {
        set_text(d, IDC_PF_NAME, "Invoices");
        set_check(d, IDC_PF_SUBJECT, true);
        choose(d, IDC_PF_SUBJECT_COND, 0);
        set_text(d, IDC_PF_SUBJECT_TEXT, "invoice");
        set_check(d, IDC_PF_FROM, true);
        choose(d, IDC_PF_FROM_COND, 1);
        set_text(d, IDC_PF_FROM_TEXT, "boss");
        choose(d, IDC_PF_MARK, 0);
        set_check(d, IDC_PF_LAUNCH, true);
        set_text(d, IDC_PF_LAUNCH_PATH, "C:\\tools\\bill.bat");
    });
    add_on_tab(script, 1, IDC_FRIENDS_ADD, "Friend's Edit",
               [](HWND d) { set_text(d, IDC_FRIEND_ADDRESS, "ann@x.org"); });
    add_on_tab(script, 2, IDC_PAGE_ADD, "Filter Edit", [](HWND d) {
        set_text(d, IDC_WORD_TEXT, "casino");
        set_check(d, IDC_MARK_DELETED, true);
        set_check(d, IDC_MARK_UNCERTAIN, false);
    });
    add_on_tab(script, 3, IDC_PAGE_ADD, "Filter Edit", [](HWND d) {
        set_text(d, IDC_WORD_TEXT, "lottery");
        set_check(d, IDC_WORD_CASE, true);
        set_check(d, IDC_MARK_UNCERTAIN, true);
        set_check(d, IDC_MARK_DELETED, false);
    });
    add_on_tab(script, 4, IDC_PAGE_ADD, "Filter Edit", [](HWND d) {
        set_text(d, IDC_WORD_TEXT, "me@home.org; me@work.org");
        set_check(d, IDC_MARK_DELETED, true);
        set_check(d, IDC_MARK_UNCERTAIN, false);
    });
    add_on_tab(script, 5, IDC_SPAMMERS_ADD, "Spammer Edit",
               [](HWND d) { set_text(d, IDC_SPAMMER_ADDRESS, "bad@spam.com"); });
    add_on_tab(script, 6, IDC_PAGE_ADD, "Filter Edit", [](HWND d) {
        set_check(d, IDC_SIZE_LARGER, true);
        set_text(d, IDC_SIZE_LARGER_KB, "100");
        set_check(d, IDC_MARK_UNCERTAIN, true);
        set_check(d, IDC_MARK_DELETED, false);
    });
    script.then([] { post_click(sheet_window(), IDOK); });
    script.start();
    REQUIRE(filter_dialogs::run_filter_sheet(nullptr, filters, actions, env));
    REQUIRE(script.all_run());
    CHECK(!script.step_failed());
    CHECK(reporter.messages.empty());
    for (const char* name : kFilterFiles)
        CHECK_MESSAGE(std::filesystem::exists(dir.file(name)), name << " was not written");

    const std::string to_me = "To: me@home.org\r\n";
    const std::string big_body(110 * 1024, 'x');
    std::string big;
    for (std::size_t i = 0; i < big_body.size(); i += 100)
        big += big_body.substr(i, 98) + "\r\n";
    const std::vector<Expected> cases = {
        {"friend.eml", mail("From: Ann <ann@x.org>\r\n" + to_me + "Subject: casino invoice lottery\r\n"), false,
         false, false, true, "friends", ""},
        {"power.eml", mail("From: shop@x.biz\r\n" + to_me + "Subject: Your INVOICE 42\r\n"), false, false, true,
         false, "none", "launch_program"},
        {"power_boss.eml", mail("From: boss@x.biz\r\n" + to_me + "Subject: invoice\r\n"), false, false, false,
         false, "none", ""},
        {"from.eml", mail("From: \"Casino Royale\" <promo@x.biz>\r\n" + to_me + "Subject: hi\r\n"), true, false,
         false, false, "from", ""},
        {"subject.eml", mail("From: a@b.org\r\n" + to_me + "Subject: weekly lottery results\r\n"), false, false,
         true, false, "subject", ""},
        {"subject_case.eml", mail("From: a@b.org\r\n" + to_me + "Subject: LOTTERY\r\n"), false, false, false,
         false, "none", ""},
        {"spammer.eml", mail("From: Bad <bad@spam.com>\r\n" + to_me + "Subject: hello\r\n"), true, true, false,
         false, "spammers", ""},
        {"tocc.eml", mail("From: c@d.org\r\nTo: other@else.org\r\nSubject: hi\r\n"), true, false, false, false,
         "tocc", ""},
        {"cc.eml", mail("From: c@d.org\r\nTo: other@else.org\r\nCc: Me <me@work.org>\r\nSubject: hi\r\n"), false,
         false, false, false, "none", ""},
        {"size.eml", mail("From: e@f.org\r\n" + to_me + "Subject: photos\r\n", big), false, false, true, false,
         "size", ""},
        {"plain.eml", mail("From: e@f.org\r\n" + to_me + "Subject: lunch\r\n"), false, false, false, false, "none",
         ""},
    };
    std::filesystem::create_directory(dir.path() / "mail");
    std::string command = std::string("\"") + diag + "\" classify \"" + dir.path().string() + "\"";
    for (const Expected& c : cases) {
        std::string path = (dir.path() / "mail" / c.file).string();
        std::ofstream(path, std::ios::binary) << c.text;
        command += " \"" + path + "\"";
    }
    DWORD exit_code = 99;
    std::vector<std::string> rows = lines_of(run_and_read(command, exit_code));
    CHECK(exit_code == 0);
    REQUIRE(rows.size() == cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Expected& c = cases[i];
        const std::string& row = rows[i];
        INFO(c.file << ": " << row);
        CHECK(row.find(c.file) != std::string::npos);
        CHECK(row.find(flag("deleted", c.deleted)) != std::string::npos);
        CHECK(row.find(flag("spammer", c.spammer)) != std::string::npos);
        CHECK(row.find(flag("uncertain", c.uncertain)) != std::string::npos);
        CHECK(row.find(flag("friendly", c.friendly)) != std::string::npos);
        CHECK(row.find(std::string("\"stage\": \"") + c.stage + "\"") != std::string::npos);
        if (*c.action)
            CHECK(row.find(std::string("{\"filter\": \"Invoices\", \"action\": \"") + c.action +
                           "\", \"argument\": \"C:\\\\tools\\\\bill.bat\"}") != std::string::npos);
        else
            CHECK(row.find("\"actions\": []") != std::string::npos);
    }
}
