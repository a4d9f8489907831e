// The lists' small decisions: row pictures, the messages menu's states,
// sorting the accounts, and the stored pane heights.
#include <doctest/doctest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "appcore/account_sort.h"
#include "appcore/list_icons.h"
#include "appcore/message_commands.h"
#include "appcore/pane_heights.h"
#include "engine/account.h"
#include "message/message.h"
#include "message_ids.h"
#include "platform/registry.h"
#include "platform/registry_paths.h"

using namespace kivo;

namespace {
Message message_with(bool seen, bool deleted)
{
    Message m({"From: a@b", "Subject: s", ""}, 10);
    if (seen)
        m.set_seen();
    if (deleted)
        m.mark_deleted();
    return m;
}
}  // namespace

TEST_CASE("list pictures: the first matching mark wins; states and priorities map to their images")
{
    Message m = message_with(false, false);
    CHECK(list_icons::for_marks(m) == list_icons::no_image);
    m.set_uncertain(true);
    CHECK(list_icons::for_marks(m) == list_icons::message_uncertain);
    m.set_spammer(true);
    CHECK(list_icons::for_marks(m) == list_icons::message_spammer);
    m.mark_deleted();  // a spammer's deletion still shows the spammer
    CHECK(list_icons::for_marks(m) == list_icons::message_spammer);
    m.set_spammer(false);
    CHECK(list_icons::for_marks(m) == list_icons::message_deleted);
    m.set_friendly(true);
    CHECK(list_icons::for_marks(m) == list_icons::message_friend);

    CHECK(list_icons::for_priority(1) == list_icons::priority_high);
    CHECK(list_icons::for_priority(3) == list_icons::no_image);
    CHECK(list_icons::for_priority(5) == list_icons::priority_low);
    CHECK(list_icons::for_account_state(MSG_STATE_CONNECTING) == list_icons::account_checking);
    CHECK(list_icons::for_account_state(MSG_STATE_FAILED) == list_icons::account_failed);
    CHECK(list_icons::for_account_state(MSG_STATE_DISABLED) == list_icons::account_disabled);
    CHECK(list_icons::for_account_state(MSG_STATE_NOT_STARTED) == list_icons::account_idle);
    CHECK(list_icons::for_account_state(12345) == list_icons::account_idle);
}

TEST_CASE("messages menu: states follow the selection's marks; nothing selected grays all but Select All")
{
    auto none = MessageCommandStates::for_selection({});
    CHECK_FALSE((none.mark_read || none.mark_unread || none.remove || none.undelete || none.per_message));
    CHECK(none.select_all);

    Message unread = message_with(false, false);
    Message read_marked = message_with(true, true);
    auto one = MessageCommandStates::for_selection({&unread});
    CHECK(one.mark_read);
    CHECK_FALSE(one.mark_unread);
    CHECK(one.remove);
    CHECK_FALSE(one.undelete);
    CHECK(one.per_message);
    auto both = MessageCommandStates::for_selection({&unread, &read_marked});
    CHECK((both.mark_read && both.mark_unread && both.remove && both.undelete));
}

TEST_CASE("accounts sort: each item has its own direction, flipped by a second click on it")
{
    std::vector<std::unique_ptr<Account>> owned;
    auto make = [&](const char* name, int unseen, std::time_t last) {
        owned.push_back(std::make_unique<Account>());
        owned.back()->set_name(name);
        owned.back()->set_new_messages(unseen);
        owned.back()->set_last_check(last);
        return owned.back().get();
    };
    std::vector<Account*> rows{make("b", 5, 100), make("a", -2147483647, 300), make("c", 2147483647, 200)};
    AccountSort sort;
    auto sorted_names = [&] {
        std::stable_sort(rows.begin(), rows.end(), [&](Account* x, Account* y) { return sort.compare(*x, *y) < 0; });
        std::string out;
        for (Account* a : rows)
            out += a->name();
        return out;
    };
    CHECK_FALSE(sort.click(MSG_COL_FROM));  // a messages-list kind does not sort accounts
    CHECK(sort.kind() == 0);
    REQUIRE(sort.click(MSG_COL_ACCOUNT));
    CHECK(sorted_names() == "abc");
    sort.click(MSG_COL_ACCOUNT);
    CHECK(sort.descending());
    CHECK(sorted_names() == "cba");
    sort.click(MSG_COL_NEW_MESSAGES);  // unseen counts far apart: no overflow
    CHECK_FALSE(sort.descending());
    CHECK(sorted_names() == "abc");
    sort.click(MSG_COL_LAST_CHECK);
    CHECK(sorted_names() == "bca");
    sort.click(MSG_COL_ACCOUNT);  // back to the name: its own direction was kept
    CHECK(sort.descending());
    CHECK(sort.kind() == MSG_COL_ACCOUNT);
}

TEST_CASE("pane heights: defaults when missing, damaged values ignored, saved values read back")
{
    const std::string key = std::string(kRegistryRoot) + "\\CustomizeControls\\Splitter";
    platform::RegKey::delete_tree(platform::RegRoot::current_user, key);
    PaneHeights heights;
    heights.load();
    CHECK(heights.accounts == 30);
    CHECK(heights.messages == 30);
    CHECK(heights.preview == 50);
    CHECK(platform::RegKey::open_read(platform::RegRoot::current_user, key));

    heights.accounts = 120;
    heights.messages = 0;
    heights.save();
    platform::RegKey::open_or_create(platform::RegRoot::current_user, key).write_dword("MsgPreviewHeight", 0xFFFFFFF0u);
    PaneHeights loaded;
    loaded.load();
    CHECK(loaded.accounts == 120);
    CHECK(loaded.messages == 0);
    CHECK(loaded.preview == 50);
}
