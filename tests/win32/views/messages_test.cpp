#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/resource_ids.h"
#include "appcore/command_ids.h"
#include "appcore/list_icons.h"
#include "ui/menu.h"
#include "views_fixture.h"

using kivo::Account;
using kivo::test::PanesFixture;
namespace icons = kivo::list_icons;

namespace {

// Focuses and selects one row, the way a click would.
void pick(kivo::views::MessagesListView& view, int row)
{
    kivo::ui::ListView list(view.hwnd());
    list.select(-1, false);
    list.select(row);
    list.focus_item(row);
}

void fire_seen_timer(HWND list) { SendMessageA(list, WM_TIMER, kivo::views::MessagesListView::kSeenTimer, 0); }

}  // namespace

TEST_CASE("views: the seen timer marks a message seen only after the focus stayed on it")
{
    PanesFixture fixture;
    Account& account = fixture.add_account("acc", "u", "h", 3);
    auto& view = fixture.messages();
    view.show(&account);
    REQUIRE(view.row_count() == 3);
    HWND list = view.hwnd();

    SUBCASE("focused for the whole delay: seen, and the New count drops at once")
    {
        pick(view, 1);
        SetFocus(list);
        CHECK(view.seen_timer_running());
        fire_seen_timer(list);  // what 3 s later brings
        CHECK_FALSE(view.seen_timer_running());
        CHECK(account.messages()[1]->seen());
        CHECK_FALSE(account.messages()[0]->seen());
        CHECK(account.new_messages() == 2);
        CHECK(kivo::ui::ListView(fixture.accounts().hwnd()).item_text(0, 4) == "2");
        REQUIRE(!fixture.host.marks_changed.empty());
        CHECK(fixture.host.marks_changed.back() == &account);
    }
    SUBCASE("left before the delay: the timer is killed and the message stays unseen")
    {
        pick(view, 1);
        SetFocus(list);
        CHECK(view.seen_timer_running());
        SetFocus(fixture.accounts().hwnd());
        CHECK_FALSE(view.seen_timer_running());
        CHECK_FALSE(account.messages()[1]->seen());
        CHECK(account.new_messages() == 3);
    }
    SUBCASE("a seen message starts no timer")
    {
        account.messages()[2]->set_seen();
        pick(view, 2);
        SetFocus(list);
        CHECK_FALSE(view.seen_timer_running());
    }
}

TEST_CASE("views: marks change the row icons, the counts and the menu states")
{
    PanesFixture fixture;
    Account& account = fixture.add_account("acc", "u", "h", 3);
    auto& view = fixture.messages();
    account.messages()[2]->set_friendly(true);
    view.show(&account);
    kivo::ui::ListView list(view.hwnd());
    CHECK(list.item_image(0) == kivo::ui::ListView::kNoImage);
    CHECK(list.item_image(2) == icons::message_friend);

    kivo::ui::PopupMenu menu = kivo::ui::PopupMenu::load_submenu(GetModuleHandleA(nullptr), IDR_MESSAGES_MENU);
    view.update_menu_states(menu.get());
    CHECK(menu.is_grayed(CMD_MARK_DELETED));
    CHECK(menu.is_grayed(CMD_SHOW_HEADER));
    CHECK_FALSE(menu.is_grayed(CMD_SELECT_ALL));

    view.command(CMD_SELECT_ALL);
    CHECK(list.selected_count() == 3);
    view.command(CMD_MARK_DELETED);
    for (int row = 0; row < 3; ++row)
        CHECK(list.item_image(row) == icons::message_deleted);
    CHECK_FALSE(account.messages()[2]->friendly());  // deleting takes the friend mark away
    view.update_menu_states(menu.get());
    CHECK(menu.is_grayed(CMD_MARK_DELETED));
    CHECK_FALSE(menu.is_grayed(CMD_UNDELETE));
    CHECK_FALSE(menu.is_grayed(CMD_MARK_READ));
    CHECK(menu.is_grayed(CMD_MARK_UNREAD));

    view.command(CMD_MARK_READ);
    CHECK(account.new_messages() == 0);
    view.command(CMD_MARK_UNREAD);
    CHECK(account.new_messages() == 3);
    view.command(CMD_UNDELETE);
    CHECK(list.item_image(0) == kivo::ui::ListView::kNoImage);
    CHECK(account.count_marked() == 0);

    // Delete and the filter commands, with the host told which message.
    pick(view, 1);
    NMLVKEYDOWN key{};
    key.hdr = {list.hwnd(), static_cast<UINT_PTR>(view.kControlId), static_cast<UINT>(LVN_KEYDOWN)};
    key.wVKey = VK_DELETE;
    SendMessageA(fixture.panes().hwnd(), WM_NOTIFY, key.hdr.idFrom, reinterpret_cast<LPARAM>(&key));
    CHECK(account.messages()[1]->deleted());
    CHECK_FALSE(account.messages()[0]->deleted());
    view.command(CMD_ADD_TO_SPAMMERS);
    view.command(CMD_REPLY_MESSAGE);
    view.command(CMD_NOTHING);
    REQUIRE(fixture.host.filter_adds.size() == 1);
    CHECK(fixture.host.filter_adds[0].first == CMD_ADD_TO_SPAMMERS);
    CHECK(fixture.host.filter_adds[0].second == account.messages()[1]->key());
    CHECK(fixture.host.replies == std::vector<std::uint32_t>{account.messages()[1]->key()});
}

TEST_CASE("views: showing the account again keeps the rows and the selection when the keys match")
{
    PanesFixture fixture;
    Account& account = fixture.add_account("acc", "u", "h", 4);
    auto& view = fixture.messages();
    view.show(&account);
    kivo::ui::ListView list(view.hwnd());
    list.select(1);
    list.select(2);
    list.focus_item(2);
    CHECK(fixture.panes().preview().header_text().find("acc m2") != std::string::npos);

    // A check brings fresh records of the same messages.
    kivo::MessageList fresh;
    for (int i = 0; i < 4; ++i)
        fresh.push_back(kivo::test::make_shared_message("Sender " + std::to_string(i) + " <s" + std::to_string(i) +
                                                            "@example.org>",
                                                        "acc m" + std::to_string(i), 1000 + i));
    REQUIRE(fresh[1]->key() == account.messages()[1]->key());
    fresh[3]->set_seen();
    account.messages() = fresh;
    view.show(&account);
    CHECK(list.count() == 4);
    CHECK(list.selected_items() == std::vector<int>{1, 2});
    CHECK(list.focused_item() == 2);
    CHECK(view.message_at(3) == fresh[3]);  // the rows show the current records

    SUBCASE("a marked row keeps its mark on the current record")
    {
        view.command(CMD_MARK_DELETED);
        CHECK(fresh[1]->deleted());
        CHECK(fresh[2]->deleted());
    }
    SUBCASE("other keys: the rows are rebuilt in the account's order")
    {
        account.messages().pop_back();
        account.messages().push_back(kivo::test::make_shared_message("new <n@x>", "brand new"));
        view.show(&account);
        CHECK(list.count() == 4);
        CHECK(view.message_at(3)->subject() == "brand new");
    }
}

TEST_CASE("views: forget leaves nothing pointing at the account; the preview shows the focused message")
{
    PanesFixture fixture;
    Account& account = fixture.add_account("acc", "u", "h", 2);
    account.messages().push_back(kivo::test::make_shared_message(
        "Ann Example <ann@example.org>", "with file", 5000,
        "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=\"b\"\n"));
    auto& view = fixture.messages();
    auto& preview = fixture.panes().preview();
    view.show(&account);
    pick(view, 0);
    CHECK(preview.header_text() ==
          "From: Sender 0  To: Reader \r\nSubject: acc m0");
    CHECK(preview.body_text().find("first line of acc m0") != std::string::npos);
    CHECK_FALSE(preview.attach_button_visible());

    SetFocus(view.hwnd());
    CHECK(view.seen_timer_running());
    view.forget(account);
    CHECK(view.shown() == nullptr);
    CHECK(view.row_count() == 0);
    CHECK_FALSE(view.seen_timer_running());
    CHECK(preview.header_text().empty());
    CHECK(preview.body_text().empty());
    fire_seen_timer(view.hwnd());  // a tick already queued finds nothing to mark
    CHECK_FALSE(account.messages()[0]->seen());
    // Another account's forget leaves the shown one alone.
    Account& other = fixture.add_account("other", "u", "h", 1);
    view.show(&account);
    view.forget(other);
    CHECK(view.shown() == &account);
}
