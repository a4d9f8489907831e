#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "filter/address_file.h"
#include "filter/list_file.h"
#include "filter/power_file.h"
#include "filter/text_match.h"
#include "filter_dialogs/filter_dialog_ids.h"
#include "appcore/help_topics.h"
#include "message_ids.h"
#include "sheet_driver.h"
#include "win32/dialog_script.h"

using namespace kivo;
using kivo::test::DialogScript;
using kivo::test::FilterFolder;
using namespace kivo::test;

namespace {

HWND sheet_window()
{
    return dialog_titled("Email Filter");
}

bool run_sheet(FilterFolder& folder, DialogScript& script)
{
    script.start();
    return filter_dialogs::run_filter_sheet(nullptr, *folder.filters, folder.actions, folder.env);
}

void select_address(HWND page, int list, const char* address)
{
    HWND box = GetDlgItem(page, list);
    int row = static_cast<int>(SendMessageA(box, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                            reinterpret_cast<LPARAM>(address)));
    REQUIRE(row >= 0);
    SendMessageA(box, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

void select_row(HWND page, int row)
{
    ListView_SetItemState(GetDlgItem(page, IDC_PAGE_LIST), row, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
}

int rows(HWND page)
{
    return ListView_GetItemCount(GetDlgItem(page, IDC_PAGE_LIST));
}

}  // namespace

TEST_CASE("the sheet shows its seven tabs in order, and Cancel after edits on several pages changes nothing")
{
    FilterFolder folder;
    auto before = folder.files();
    DialogScript script;
    script.then([&] {
        HWND sheet = sheet_window();
        REQUIRE(sheet);
        HWND tabs = GetDlgItem(sheet, IDC_FILTER_TABS);
        REQUIRE(TabCtrl_GetItemCount(tabs) == 7);
        const char* titles[] = {"Power", "Friends", "From", "Subject", "To/Cc", "Spammers", "Size"};
        for (int i = 0; i < 7; ++i) {
            char text[32] = {};
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            TabCtrl_GetItem(tabs, i, &item);
            CHECK(std::string(text) == titles[i]);
        }
        choose_tab(sheet, 2);
        post_click(shown_page(sheet), IDC_PAGE_ADD);
    });
    script.then([&] {
        HWND edit = dialog_titled("Filter Edit");
        REQUIRE(edit);
        set_text(edit, IDC_WORD_TEXT, "viagra");
        post_click(edit, IDOK);
    });
    script.then([&] {
        HWND page = shown_page(sheet_window());
        CHECK(rows(page) == 3);
        select_row(page, 0);
        post_click(page, IDC_PAGE_DELETE);
    });
    script.then([&] {
        HWND sheet = sheet_window();
        CHECK(rows(shown_page(sheet)) == 2);
        choose_tab(sheet, 1);
        select_address(shown_page(sheet), IDC_FRIENDS_LIST, "ann@x.org");
        post_click(shown_page(sheet), IDC_FRIENDS_DELETE);
    });
    script.then([&] {
        HWND sheet = sheet_window();
        CHECK(SendDlgItemMessageA(shown_page(sheet), IDC_FRIENDS_LIST, LB_GETCOUNT, 0, 0) == 2);
        set_check(shown_page(sheet), IDC_FRIENDS_CHECK, !folder.filters->checkFriends());
        choose_tab(sheet, 0);
        ListView_SetCheckState(GetDlgItem(shown_page(sheet), IDC_PAGE_LIST), 0, FALSE);
        post_click(sheet, IDCANCEL);
    });
    CHECK(!run_sheet(folder, script));
    CHECK(script.all_run());
    CHECK(folder.files() == before);
    CHECK(folder.filters->fromList().size() == 2);
    CHECK(folder.filters->powerList()[0].state == 0);
    CHECK(folder.filters->friends().count(filter::AddressKey("ann@x.org")) == 1);
}

TEST_CASE("OK with no edits rewrites no list file, and filling the power page changes no filter")
{
    FilterFolder folder;
    auto before = folder.files();
    folder.age_files();
    DialogScript script;
    const char* names[] = {"power", "friends", "from", "subject", "tocc", "spammers", "size"};
    for (int tab = 0; tab < 7; ++tab)
        script.then([&, tab] {
            HWND sheet = sheet_window();
            REQUIRE(sheet);
            choose_tab(sheet, tab);
            shoot(sheet, std::string("filter_sheet_") + names[tab]);
        });
    script.then([&] {
        HWND page = shown_page(sheet_window());
        CHECK(rows(page) == 1);
        choose_tab(sheet_window(), 0);
        HWND power = GetDlgItem(shown_page(sheet_window()), IDC_PAGE_LIST);
        CHECK(ListView_GetCheckState(power, 0) != FALSE);
        CHECK(ListView_GetCheckState(power, 1) == FALSE);
        post_click(sheet_window(), IDOK);
    });
    CHECK(run_sheet(folder, script));
    CHECK(script.all_run());
    CHECK(folder.rewritten().empty());
    CHECK(folder.files() == before);
    CHECK(folder.reporter.messages.empty());
}

TEST_CASE("unchecking a power filter and pressing OK writes it disabled")
{
    FilterFolder folder;
    DialogScript script;
    script.then([&] {
        ListView_SetCheckState(GetDlgItem(shown_page(sheet_window()), IDC_PAGE_LIST), 0, FALSE);
        post_click(sheet_window(), IDOK);
    });
    CHECK(run_sheet(folder, script));
    auto stored = filter::LoadPowerFilters(folder.dir.folder());
    REQUIRE(stored.size() == 2);
    CHECK(stored[0].name == "Alpha");
    CHECK(stored[0].state == 1);
    CHECK(stored[1].state == 1);
    CHECK(folder.filters->powerList()[0].state == 1);
}

TEST_CASE("the Friends page: deletions and edits reach friends.dat in sorted order")
{
    FilterFolder folder;
    DialogScript script;
    std::vector<std::string> expected;
    SUBCASE("deleting one friend alone is saved")
    {
        script.then([&] {
            choose_tab(sheet_window(), 1);
            select_address(shown_page(sheet_window()), IDC_FRIENDS_LIST, "bob@x.org");
            post_click(shown_page(sheet_window()), IDC_FRIENDS_DELETE);
        });
        expected = {"ann@x.org", "zed@x.org"};
    }
    SUBCASE("an edited address moves to its sorted place and the old one stops matching")
    {
        script.then([&] {
            choose_tab(sheet_window(), 1);
            select_address(shown_page(sheet_window()), IDC_FRIENDS_LIST, "zed@x.org");
            post_click(shown_page(sheet_window()), IDC_FRIENDS_EDIT);
        });
        script.then([&] {
            HWND edit = dialog_titled("Friend's Edit");
            REQUIRE(edit);
            set_text(edit, IDC_FRIEND_ADDRESS, "");
            CHECK(!enabled(edit, IDOK));
            set_text(edit, IDC_FRIEND_ADDRESS, "amy@x.org");
            CHECK(enabled(edit, IDOK));
            shoot(edit, "friend_edit");
            post_click(edit, IDOK);
        });
        expected = {"amy@x.org", "ann@x.org", "bob@x.org"};
    }
    SUBCASE("answering No keeps the friend")
    {
        folder.answer = IDNO;
        script.then([&] {
            choose_tab(sheet_window(), 1);
            select_address(shown_page(sheet_window()), IDC_FRIENDS_LIST, "bob@x.org");
            post_click(shown_page(sheet_window()), IDC_FRIENDS_DELETE);
        });
        expected = {"zed@x.org", "ann@x.org", "bob@x.org"};  // not even rewritten
    }
    script.then([&] { post_click(sheet_window(), IDOK); });
    CHECK(run_sheet(folder, script));
    CHECK(script.all_run());
    CHECK(folder.boxes.size() == (expected.size() == 3 && expected[0] == "amy@x.org" ? 0u : 1u));
    CHECK(read_file(folder.dir.file("friends.dat")) == filter::format_address_file(expected));
    auto& keys = folder.filters->friends();
    for (const std::string& address : expected)
        CHECK(keys.count(filter::AddressKey(address)) == 1);
    CHECK(keys.size() == expected.size());
}

TEST_CASE("a page whose apply fails keeps the sheet open, says so, and a second OK saves")
{
    FilterFolder folder;
    DialogScript script;
    bool held = false;
    script.then([&] {
        choose_tab(sheet_window(), 2);
        post_click(shown_page(sheet_window()), IDC_PAGE_ADD);
    });
    script.then([&] {
        set_text(dialog_titled("Filter Edit"), IDC_WORD_TEXT, "prize");
        post_click(dialog_titled("Filter Edit"), IDOK);
    });
    script.then([&] {
        // An account thread classifying: the writer cannot get in.
        held = folder.filters->lock().enter_reader();
        REQUIRE(held);
        post_click(sheet_window(), IDOK);
    });
    script.then([&] {
        CHECK(IsWindow(sheet_window()));
        CHECK(std::count(folder.boxes.begin(), folder.boxes.end(), MSG_FD_APPLY_FAILED) == 1);
        CHECK(GetDlgItem(shown_page(sheet_window()), IDC_PAGE_LIST));
        folder.filters->lock().leave_reader();
        held = false;
        post_click(sheet_window(), IDOK);
    });
    bool ok = run_sheet(folder, script);
    if (held)
        folder.filters->lock().leave_reader();
    CHECK(ok);
    REQUIRE(folder.filters->fromList().size() == 3);
    CHECK(folder.filters->fromList()[2].text == "prize");
    kivo::test::RecordingReporter reporter;
    CHECK(filter::load_list_file<filter::WordFilter>(folder.dir.file("from.dat"), reporter).size() == 3);
}

TEST_CASE("Help opens the topic of the tab that is shown")
{
    FilterFolder folder;
    DialogScript script;
    script.then([&] { post_click(sheet_window(), IDC_FILTER_HELP); });
    script.then([&] {
        choose_tab(sheet_window(), 2);
        post_click(sheet_window(), IDC_FILTER_HELP);
    });
    script.then([&] {
        choose_tab(sheet_window(), 5);
        post_click(sheet_window(), IDC_FILTER_HELP);
    });
    script.then([&] { post_click(sheet_window(), IDCANCEL); });
    CHECK(!run_sheet(folder, script));
    CHECK(folder.topics ==
          std::vector<std::string>{help::kFiltration, help::kFromFilter, help::kSpammersList});
}

TEST_CASE("deleting a power filter asks first, and Yes removes it from power.dat")
{
    FilterFolder folder;
    DialogScript script;
    SUBCASE("Yes")
    {
        folder.answer = IDYES;
    }
    SUBCASE("No")
    {
        folder.answer = IDNO;
    }
    script.then([&] {
        HWND page = shown_page(sheet_window());
        select_row(page, 1);
        post_click(page, IDC_PAGE_DELETE);
    });
    script.then([&] { post_click(sheet_window(), IDOK); });
    CHECK(run_sheet(folder, script));
    CHECK(folder.boxes == std::vector<std::uint32_t>{MSG_FD_DELETE_FILTER});
    auto stored = filter::LoadPowerFilters(folder.dir.folder());
    REQUIRE(stored.size() == (folder.answer == IDYES ? 1u : 2u));
    CHECK(stored[0].name == "Alpha");
    CHECK(stored[0].state == 0);
}
