// The filter dialogs used from the keyboard alone: Tab reaches every
// control that can take input once, in reading order; each mnemonic is
// unique and lands on its control; Enter and Escape are OK and Cancel.
// Keys go through the dialog manager (IsDialogMessage), as the modal loop
// would hand them over.
#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "appcore/command_ids.h"
#include "filter/power_file.h"
#include "filter_dialogs/filter_dialog_ids.h"
#include "sheet_driver.h"
#include "win32/dialog_script.h"

using namespace kivo;
using namespace kivo::test;

namespace {

std::string class_of(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string text_of(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

LONG style_of(HWND window) { return GetWindowLongA(window, GWL_STYLE); }

bool is_button_kind(HWND window, LONG kind) { return (style_of(window) & BS_TYPEMASK) == kind; }

bool is_radio(HWND window)
{
    return class_of(window) == "Button" &&
           (is_button_kind(window, BS_RADIOBUTTON) || is_button_kind(window, BS_AUTORADIOBUTTON));
}

// Shown once the dialog is: the dialog itself may still be waiting to be
// shown when a script step runs.
bool on_show(HWND window)
{
    for (HWND at = window; at && (GetWindowLongA(at, GWL_STYLE) & WS_CHILD); at = GetParent(at))
        if (!(GetWindowLongA(at, GWL_STYLE) & WS_VISIBLE))
            return false;
    return true;
}

// A control a user can operate: not a label, a frame, a picture, an
// up-down (driven through its edit) or a dialog that only holds controls.
bool takes_input(HWND window)
{
    std::string name = class_of(window);
    if (name == "Static" || name == "msctls_updown32" || name == "#32770")
        return false;
    if (class_of(GetParent(window)) != "#32770")
        return false;  // a part of a control (a list view's header)
    if (name == "Button" && is_button_kind(window, BS_GROUPBOX))
        return false;
    return on_show(window) && IsWindowEnabled(window);
}

// A group of radio buttons is one Tab stop; the arrows move within it.
bool tab_reaches(HWND window)
{
    return takes_input(window) && !is_radio(window);
}

std::vector<HWND> group_of(HWND dialog, HWND member)
{
    std::vector<HWND> group{member};
    for (HWND at = GetNextDlgGroupItem(dialog, member, FALSE); at && at != member && group.size() < 50;
         at = GetNextDlgGroupItem(dialog, at, FALSE))
        group.push_back(at);
    return group;
}

BOOL CALLBACK collect(HWND window, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> descendants(HWND dialog)
{
    std::vector<HWND> all;
    EnumChildWindows(dialog, collect, reinterpret_cast<LPARAM>(&all));
    return all;
}

std::string describe(HWND window)
{
    std::ostringstream out;
    out << GetDlgCtrlID(window) << " " << class_of(window) << " '" << text_of(window) << "'";
    return out.str();
}

RECT rect_of(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

// Same line when each one's middle lies within the other's height.
bool same_line(const RECT& a, const RECT& b)
{
    LONG ma = (a.top + a.bottom) / 2, mb = (b.top + b.bottom) / 2;
    return (ma >= b.top && ma < b.bottom) || (mb >= a.top && mb < a.bottom);
}

bool reads_before(HWND first, HWND second)
{
    RECT a = rect_of(first), b = rect_of(second);
    if (same_line(a, b))
        return a.left < b.left;
    return (a.top + a.bottom) / 2 < (b.top + b.bottom) / 2;
}

// Walks Tab from the first stop round to it again and checks the stops
// against the controls on show.
void check_tab_order(HWND dialog, const std::string& what)
{
    INFO(what);
    std::vector<HWND> walk;
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    REQUIRE(first);
    for (HWND at = first; walk.size() < 200;) {
        walk.push_back(at);
        at = GetNextDlgTabItem(dialog, at, FALSE);
        if (!at || at == first)
            break;
    }
    std::vector<HWND> expected;
    for (HWND window : descendants(dialog))
        if (tab_reaches(window))
            expected.push_back(window);
    for (HWND window : expected) {
        auto times = std::count(walk.begin(), walk.end(), window);
        CHECK_MESSAGE(times == 1, "Tab reaches " << describe(window) << " " << times << " times");
    }
    for (HWND window : descendants(dialog)) {
        if (!is_radio(window) || !takes_input(window))
            continue;
        std::vector<HWND> group = group_of(dialog, window);
        auto stops = std::count_if(walk.begin(), walk.end(),
                                   [&](HWND w) { return std::find(group.begin(), group.end(), w) != group.end(); });
        CHECK_MESSAGE(stops == 1, "the radio group of " << describe(window) << " has " << stops << " Tab stops");
        // Tab lands on the choice made, so the arrows start from it.
        if (SendMessageA(window, BM_GETCHECK, 0, 0) == BST_CHECKED)
            CHECK_MESSAGE(std::count(walk.begin(), walk.end(), window) == 1,
                          "Tab skips the chosen " << describe(window));
    }
    for (HWND window : walk)
        CHECK_MESSAGE((tab_reaches(window) || (is_radio(window) && takes_input(window))),
                      "Tab stops at " << describe(window));
    for (std::size_t i = 1; i < walk.size(); ++i)
        CHECK_MESSAGE(reads_before(walk[i - 1], walk[i]),
                      "Tab goes from " << describe(walk[i - 1]) << " back to " << describe(walk[i]));
    // Shift+Tab walks the same way back.
    for (std::size_t i = 0; i < walk.size(); ++i)
        CHECK(GetNextDlgTabItem(dialog, walk[(i + 1) % walk.size()], TRUE) == walk[i]);
}

char mnemonic_of(const std::string& text)
{
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 1])));
    }
    return 0;
}

// Alt+letter as the modal loop would pass it to the dialog manager.
void press_alt(HWND dialog, char letter)
{
    MSG msg{};
    msg.hwnd = GetFocus() ? GetFocus() : dialog;
    msg.message = WM_SYSCHAR;
    msg.wParam = static_cast<WPARAM>(letter);
    msg.lParam = 1 | (1 << 29);  // repeat count 1, Alt held
    IsDialogMessageA(dialog, &msg);
}

void press_key(HWND dialog, UINT key)
{
    MSG msg{};
    msg.hwnd = GetFocus() ? GetFocus() : dialog;
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    msg.lParam = 1;
    IsDialogMessageA(dialog, &msg);
}

// Every mnemonic on show is unique, and Alt+letter puts the focus on its
// control: a label's on the control after it, a button's on the button.
// Check boxes and radios are clicked by it, so each is put back.
void check_mnemonics(HWND dialog, const std::string& what)
{
    INFO(what);
    std::map<char, HWND> owners;
    for (HWND window : descendants(dialog)) {
        if (!on_show(window) || class_of(window) == "#32770")
            continue;
        char letter = mnemonic_of(text_of(window));
        if (!letter)
            continue;
        CHECK_MESSAGE(owners.count(letter) == 0, "Alt+" << std::string(1, letter) << " is both "
                                                        << describe(owners[letter]) << " and " << describe(window));
        owners[letter] = window;
    }
    CHECK(!owners.empty());
    for (const auto& [letter, owner] : owners) {
        HWND target = owner;
        if (class_of(owner) == "Static") {
            target = GetNextDlgTabItem(dialog, owner, FALSE);
            // The label sits just before its control, on its line.
            CHECK_MESSAGE(same_line(rect_of(owner), rect_of(target)),
                          describe(owner) << " labels " << describe(target));
        }
        if (!IsWindowEnabled(target))
            continue;
        bool checkable = class_of(target) == "Button" && !is_button_kind(target, BS_PUSHBUTTON) &&
                         !is_button_kind(target, BS_DEFPUSHBUTTON);
        if (!checkable && class_of(target) == "Button")
            continue;  // a push button would act: Add, Help, the Test buttons
        LRESULT before = checkable ? SendMessageA(target, BM_GETCHECK, 0, 0) : 0;
        // From somewhere else, so the key has to move the focus.
        HWND away = GetNextDlgTabItem(dialog, nullptr, FALSE);
        if (away == target)
            away = GetNextDlgTabItem(dialog, away, FALSE);
        SetFocus(away);
        press_alt(dialog, letter);
        CHECK_MESSAGE(GetFocus() == target, "Alt+" << std::string(1, letter) << " leads to "
                                                   << describe(GetFocus()) << ", not " << describe(target));
        if (checkable && SendMessageA(target, BM_GETCHECK, 0, 0) != before) {
            if (is_radio(target))
                continue;  // the radio chosen stays chosen; harmless here
            SendMessageA(target, BM_CLICK, 0, 0);
        }
    }
}

HWND sheet_window() { return dialog_titled("Email Filter"); }

}  // namespace

TEST_CASE("keyboard: the sheet's pages walk from the tabs through the page to OK, Cancel and Help")
{
    FilterFolder folder;
    DialogScript script;
    const char* names[] = {"Power", "Friends", "From", "Subject", "To/Cc", "Spammers", "Size"};
    for (int tab = 0; tab < 7; ++tab)
        script.then([&, tab] {
            HWND sheet = sheet_window();
            REQUIRE(sheet);
            choose_tab(sheet, tab);
            check_tab_order(sheet, names[tab]);
            HWND page = shown_page(sheet);
            REQUIRE(page);
            CHECK(GetNextDlgTabItem(sheet, GetDlgItem(sheet, IDC_FILTER_TABS), FALSE) ==
                  GetNextDlgTabItem(page, nullptr, FALSE));
            check_mnemonics(sheet, names[tab]);
        });
    SUBCASE("Escape is Cancel")
    {
        script.then([&] {
            SetFocus(GetDlgItem(shown_page(sheet_window()), IDC_PAGE_LIST));
            press_key(sheet_window(), VK_ESCAPE);
        });
        script.start();
        CHECK(!filter_dialogs::run_filter_sheet(nullptr, *folder.filters, folder.actions, folder.env));
    }
    SUBCASE("Space on a power filter's row flips it, and Enter is OK")
    {
        script.then([&] {
            HWND sheet = sheet_window();
            choose_tab(sheet, 0);
            HWND list = GetDlgItem(shown_page(sheet), IDC_PAGE_LIST);
            SetFocus(list);
            ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            SendMessageA(list, WM_KEYDOWN, VK_SPACE, 1);
            SendMessageA(list, WM_KEYUP, VK_SPACE, 1u | (1u << 30) | (1u << 31));
            CHECK(ListView_GetCheckState(list, 1) != FALSE);
            press_key(sheet, VK_RETURN);
        });
        script.start();
        CHECK(filter_dialogs::run_filter_sheet(nullptr, *folder.filters, folder.actions, folder.env));
        auto stored = filter::LoadPowerFilters(folder.dir.folder());
        REQUIRE(stored.size() == 2);
        CHECK(stored[0].state == 0);
        CHECK(stored[1].state == 0);
    }
    CHECK(script.all_run());
}

TEST_CASE("keyboard: the Power Filter Edit dialog with every group on")
{
    FilterFolder folder;
    DialogScript script;
    bool typed_ok = false;
    script.then([&] {
        HWND dialog = dialog_titled("Power Filter Edit");
        REQUIRE(dialog);
        CHECK(GetFocus() == GetDlgItem(dialog, IDC_PF_NAME));
        for (int box : {IDC_PF_FROM, IDC_PF_SUBJECT, IDC_PF_TOCC, IDC_PF_PRIORITY, IDC_PF_ATTACH, IDC_PF_BODY,
                        IDC_PF_HEADER, IDC_PF_SMALLER, IDC_PF_LARGER, IDC_PF_LAUNCH, IDC_PF_SOUND, IDC_PF_URL})
            set_check(dialog, box, true);
        set_text(dialog, IDC_PF_SMALLER_KB, "10");
        set_text(dialog, IDC_PF_LAUNCH_PATH, "C:\\tools\\a.bat");
        set_text(dialog, IDC_PF_SOUND_FILE, "ding.wav");
        set_text(dialog, IDC_PF_URL_TEXT, "http://example.com/");
        shoot(dialog, "power_edit_all_on");
        check_tab_order(dialog, "power edit");
        check_mnemonics(dialog, "power edit");
        typed_ok = enabled(dialog, IDOK);
        SetFocus(GetDlgItem(dialog, IDC_PF_NAME));
        press_key(dialog, VK_RETURN);
    });
    // Reached only when Enter left the dialog open.
    script.then([&] { post_click(dialog_titled("Power Filter Edit"), IDCANCEL); });
    script.start();
    CHECK(filter_dialogs::add_to_filter(nullptr, *folder.filters, CMD_ADD_TO_POWER,
                                        make_message({"From: Ann <ann@x.org>", "Subject: Bill"}), folder.actions,
                                        folder.env) == true);
    CHECK(script.steps_run() == 1);
    CHECK(typed_ok);
    REQUIRE(folder.filters->powerList().size() == 3);
    CHECK(folder.filters->powerList().back().lowerBound == 10 * 1024);
}

TEST_CASE("keyboard: the small edit dialogs")
{
    FilterFolder folder;
    DialogScript script;
    auto check_dialog = [&](const char* caption, const char* what, UINT key) {
        script.then([&, caption, what, key] {
            HWND dialog = dialog_titled(caption);
            REQUIRE(dialog);
            HWND focus = GetFocus();
            bool inside = focus && (focus == dialog || IsChild(dialog, focus));
            CHECK_MESSAGE(inside, what << ": focus inside");
            check_tab_order(dialog, what);
            check_mnemonics(dialog, what);
            press_key(dialog, key);
        });
        script.start();
    };
    SUBCASE("word entry: Enter is OK")
    {
        check_dialog("Filter Edit", "word edit", VK_RETURN);
        CHECK(filter_dialogs::add_to_filter(nullptr, *folder.filters, CMD_ADD_TO_SUBJECT,
                                            make_message({"From: a@b.c", "Subject: Bill"}), folder.actions,
                                            folder.env));
        CHECK(folder.filters->subjectList().size() == 2);
    }
    SUBCASE("friend: Escape is Cancel")
    {
        check_dialog("Friend's Edit", "friend edit", VK_ESCAPE);
        CHECK(!filter_dialogs::add_to_filter(nullptr, *folder.filters, CMD_ADD_TO_FRIENDS,
                                             make_message({"From: new@x.org"}), folder.actions, folder.env));
    }
    SUBCASE("spammer: Enter is OK")
    {
        check_dialog("Spammer Edit", "spammer edit", VK_RETURN);
        CHECK(filter_dialogs::add_to_filter(nullptr, *folder.filters, CMD_ADD_TO_SPAMMERS,
                                            make_message({"From: new@x.org"}), folder.actions, folder.env));
    }
    SUBCASE("size entry, both bounds on")
    {
        script.then([&] {
            HWND sheet = sheet_window();
            choose_tab(sheet, 6);
            post_click(shown_page(sheet), IDC_PAGE_ADD);
        });
        script.then([&] {
            HWND dialog = dialog_titled("Filter Edit");
            REQUIRE(dialog);
            set_check(dialog, IDC_SIZE_LARGER, true);
            set_check(dialog, IDC_SIZE_SMALLER, true);
            set_text(dialog, IDC_SIZE_SMALLER_KB, "4");
            check_tab_order(dialog, "size edit");
            check_mnemonics(dialog, "size edit");
            press_key(dialog, VK_ESCAPE);
        });
        script.then([&] {
            CHECK(dialog_titled("Filter Edit") == nullptr);
            press_key(sheet_window(), VK_ESCAPE);
        });
        script.start();
        CHECK(!filter_dialogs::run_filter_sheet(nullptr, *folder.filters, folder.actions, folder.env));
    }
    CHECK(script.all_run());
}
