#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/resource_ids.h"
#include "appcore/command_ids.h"
#include "message_ids.h"
#include "platform/registry.h"
#include "ui/menu.h"
#include "views_fixture.h"

using kivo::Account;
using kivo::test::PanesFixture;

namespace {

std::vector<std::string> titles(kivo::ui::ListView list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.column_count(); ++i)
        out.push_back(list.column_title(i));
    return out;
}

std::string owned_names(kivo::views::AccountsListView& view)
{
    std::string out;
    for (Account* account : view.accounts())
        out += account->name();
    return out;
}

std::string row_names(kivo::views::AccountsListView& view)
{
    kivo::ui::ListView list(view.hwnd());
    std::string out;
    for (int row = 0; row < list.count(); ++row)
        out += list.item_text(row, 0);
    return out;
}

}  // namespace

TEST_CASE("views: layouts and pane heights survive a restart; damaged stored columns are ignored")
{
    PanesFixture fixture;
    kivo::ui::ListView accounts(fixture.accounts().hwnd());
    kivo::ui::ListView messages(fixture.messages().hwnd());
    // A first run: every column at its default width.
    CHECK(titles(accounts) == std::vector<std::string>{"Account", "Server", "User", "Total msgs", "New messages",
                                                      "State", "Last check", "Mailbox size"});
    CHECK(accounts.column_width(0) == 92);
    CHECK(accounts.column_width(7) == 94);
    CHECK(messages.column_count() == 6);
    CHECK(messages.column_width(0) == 180);
    CHECK(messages.column_title(2).empty());  // "Priority" shows a bitmap instead
    CHECK(messages.header().bitmap(2) != nullptr);
    CHECK(messages.header().bitmap(4) != nullptr);

    accounts.set_column_width(2, 140);
    messages.set_column_width(1, 222);
    fixture.panes().save();

    fixture.recreate();
    kivo::ui::ListView again(fixture.accounts().hwnd());
    CHECK(again.column_width(2) == 140);
    CHECK(kivo::ui::ListView(fixture.messages().hwnd()).column_width(1) == 222);
    std::uint32_t height = 0;
    auto splitter = kivo::platform::RegKey::open_read(kivo::platform::RegRoot::current_user,
                                                      std::string(PanesFixture::kRoot) + "\\Splitter");
    CHECK(splitter.read_dword("AccountListHeight", height));
    CHECK(height > 0);

    // A "Server" subkey that claims to be the "User" column, hidden and
    // 5000 wide: damage, the column stays as it was.
    auto server = kivo::platform::RegKey::open_or_create(
        kivo::platform::RegRoot::current_user,
        std::string(PanesFixture::kRoot) + "\\CustomizeAccountsList\\Columns\\Server");
    server.write_dword("Show", 0);
    server.write_dword("Kind", kivo::MSG_COL_USER);
    server.write_dword("cx", 5000);
    server.write_dword("order", 0);
    fixture.recreate();
    kivo::ui::ListView third(fixture.accounts().hwnd());
    REQUIRE(third.column_count() == 8);
    CHECK(third.column_title(1) == "Server");
    CHECK(third.column_width(1) == 92);
}

TEST_CASE("views: sorting follows the clicked column's kind, both ways, and the owned order with it")
{
    PanesFixture fixture;
    auto& view = fixture.accounts();
    Account& b = fixture.add_account("b", "zed", "mail.c.org", 1);
    Account& a = fixture.add_account("a", "amy", "mail.b.org", 3);
    Account& c = fixture.add_account("c", "max", "mail.a.org", 2);
    b.set_state(kivo::MSG_STATE_FAILED);
    c.set_state(kivo::MSG_STATE_CHECKING);
    a.set_last_check(300);
    b.set_last_check(100);
    c.set_last_check(200);
    c.messages().push_back(kivo::test::make_shared_message("x", "big", 2000000000));
    view.redraw_all();
    kivo::ui::ListView list(view.hwnd());
    CHECK(list.item_image(0) == 2);  // failed
    CHECK(list.item_image(2) == 0);  // checking
    CHECK(list.item_text(2, 7) == "1.86 GB");  // 64-bit sum of the sizes

    struct Case {
        std::uint32_t kind;
        const char* ascending;
    };
    const Case cases[] = {{kivo::MSG_COL_ACCOUNT, "abc"},      {kivo::MSG_COL_SERVER, "cab"},
                          {kivo::MSG_COL_USER, "acb"},         {kivo::MSG_COL_TOTAL_MSGS, "bca"},
                          {kivo::MSG_COL_NEW_MESSAGES, "bca"}, {kivo::MSG_COL_STATE, "acb"},
                          {kivo::MSG_COL_LAST_CHECK, "bca"},   {kivo::MSG_COL_MAILBOX_SIZE, "bac"}};
    b.set_total_messages(1);
    a.set_total_messages(3);
    c.set_total_messages(2);
    b.set_new_messages(1);
    a.set_new_messages(3);
    c.set_new_messages(2);
    for (const Case& sort : cases) {
        CAPTURE(sort.kind);
        int item = -1;
        for (int i = 0; i < list.header().count(); ++i)
            if (static_cast<std::uint32_t>(list.header().item_data(i)) == sort.kind)
                item = i;
        REQUIRE(item >= 0);
        view.sort_by_header_item(item);
        if (view.sort().descending())
            view.sort_by_header_item(item);  // a column met before keeps its direction
        CHECK(owned_names(view) == sort.ascending);
        CHECK(row_names(view) == sort.ascending);
        CHECK(list.header().bitmap(item) != nullptr);
        view.sort_by_header_item(item);
        std::string descending(sort.ascending);
        std::reverse(descending.begin(), descending.end());
        CHECK(owned_names(view) == descending);
        CHECK(view.at(0)->name() == descending.substr(0, 1));
    }

    // With "Server" hidden the third header item is "State", and a click on
    // it sorts by state, not by what the third column used to be.
    auto& records = const_cast<kivo::ColumnLayout&>(view.layout()).records();
    records[1].show = false;
    records[2].show = false;
    records[3].show = false;
    records[4].show = false;
    view.apply_layout();
    REQUIRE(list.column_title(1) == "State");
    view.sort_by_header_item(1);
    if (view.sort().descending())
        view.sort_by_header_item(1);
    CHECK(owned_names(view) == "acb");
    CHECK(list.header().bitmap(1) != nullptr);
    CHECK(list.header().bitmap(0) == nullptr);
}

TEST_CASE("views: the accounts list's rows, removal, moves, snapshot and context menu")
{
    PanesFixture fixture;
    auto& view = fixture.accounts();
    Account& one = fixture.add_account("one", "u1", "h1", 0);
    fixture.add_account("two", "u2", "h2", 0);
    view.select(0);
    CHECK(view.selected() == &one);
    CHECK(view.move_selected(+1));
    CHECK(owned_names(view) == "twoone");
    CHECK(row_names(view) == "twoone");
    CHECK(view.selected() == &one);
    CHECK_FALSE(view.move_selected(+1));  // already last
    CHECK(view.snapshot().size() == 2);
    CHECK(view.find(one.serial()) == &one);

    kivo::ui::PopupMenu menu = kivo::ui::PopupMenu::load_submenu(GetModuleHandleA(nullptr), IDR_ACCOUNTS_CONTEXT_MENU);
    view.prepare_menu(menu.get());
    CHECK(menu.text(CMD_DISABLE) == "Disable");
    CHECK_FALSE(menu.is_grayed(CMD_CHECK));
    one.set_state(kivo::MSG_STATE_DISABLED);
    view.prepare_menu(menu.get());
    CHECK(menu.text(CMD_DISABLE) == "Enable");
    CHECK(menu.is_grayed(CMD_CHECK));

    // Enter in the list asks for a check.
    NMHDR enter{view.hwnd(), static_cast<UINT_PTR>(view.kControlId), static_cast<UINT>(NM_RETURN)};
    SendMessageA(fixture.panes().hwnd(), WM_NOTIFY, enter.idFrom, reinterpret_cast<LPARAM>(&enter));
    CHECK(fixture.host.commands == std::vector<int>{CMD_CHECK});

    auto removed = view.remove(one);
    CHECK(removed.get() == &one);
    CHECK(view.count() == 1);
    CHECK(kivo::ui::ListView(view.hwnd()).count() == 1);
    CHECK(view.remove(one) == nullptr);
}

TEST_CASE("views: the selected account stays visible when the focus moves to the messages list")
{
    PanesFixture fixture;
    auto& view = fixture.accounts();
    fixture.add_account("one", "u1", "h1", 1);
    fixture.add_account("two", "u2", "h2", 1);
    view.select(0);
    // The background right of a short cell text, in each row.
    auto background = [&](int row) {
        RECT cell{};
        ListView_GetSubItemRect(view.hwnd(), row, 1, LVIR_BOUNDS, &cell);
        RedrawWindow(view.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
        HDC dc = GetDC(view.hwnd());
        COLORREF pixel = GetPixel(dc, cell.right - 4, (cell.top + cell.bottom) / 2);
        ReleaseDC(view.hwnd(), dc);
        return pixel;
    };

    SetFocus(view.hwnd());
    kivo::test::pump_messages();
    CHECK(background(0) == GetSysColor(COLOR_HIGHLIGHT));

    SetFocus(fixture.messages().hwnd());
    kivo::test::pump_messages();
    COLORREF selected = background(0);
    COLORREF plain = background(1);
    CHECK(plain == GetSysColor(COLOR_WINDOW));
    CHECK(selected != plain);
    CHECK(selected != GetSysColor(COLOR_BTNFACE));  // the near-white unfocused default
    CHECK(selected != GetSysColor(COLOR_HIGHLIGHT));  // not mistaken for the focused list
}
