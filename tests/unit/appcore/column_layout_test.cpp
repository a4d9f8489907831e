#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "appcore/column_layout.h"
#include "message_ids.h"
#include "platform/registry.h"
#include "platform/registry_paths.h"

using kivo::ColumnLayout;
using kivo::platform::RegKey;
using kivo::platform::RegRoot;

namespace {

const std::string kAccountsColumns =
    std::string(kivo::kRegistryRoot) + "\\CustomizeControls\\CustomizeAccountsList\\Columns";

std::vector<std::string> names(const ColumnLayout& layout)
{
    std::vector<std::string> out;
    for (const auto* record : layout.shown())
        out.push_back(record->name);
    return out;
}

void store(const std::string& name, std::uint32_t show, std::uint32_t kind, std::uint32_t cx, std::uint32_t order,
           bool complete = true)
{
    RegKey key = RegKey::open_or_create(RegRoot::current_user, kAccountsColumns + "\\" + name);
    key.write_dword("Show", show);
    key.write_dword("Kind", kind);
    key.write_dword("cx", cx);
    if (complete)
        key.write_dword("order", order);
}

}  // namespace

TEST_CASE("columns: a first run shows every column at its default width")
{
    RegKey::delete_tree(RegRoot::current_user, kAccountsColumns);
    ColumnLayout accounts = ColumnLayout::accounts();
    accounts.load();
    CHECK(names(accounts) == std::vector<std::string>{"Account", "Server", "User", "Total msgs", "New messages",
                                                      "State", "Last check", "Mailbox size"});
    CHECK(accounts.records()[0].cx == 92);
    CHECK(accounts.records()[7].cx == 94);
    ColumnLayout messages = ColumnLayout::messages();
    messages.load();
    REQUIRE(messages.shown().size() == 6);
    CHECK(messages.records()[2].kind == kivo::MSG_COL_PRIORITY);
    CHECK(messages.records()[2].cx == 20);
}

TEST_CASE("columns: a hidden column stays hidden after a restart; damaged or unknown subkeys change nothing")
{
    RegKey::delete_tree(RegRoot::current_user, kAccountsColumns);
    ColumnLayout layout = ColumnLayout::accounts();
    layout.records()[1].show = false;  // "Server"
    layout.records()[0].cx = 150;
    layout.save();

    RegKey server = RegKey::open_read(RegRoot::current_user, kAccountsColumns + "\\Server");
    std::uint32_t show = 9;
    REQUIRE(server.read_dword("Show", show));
    CHECK(show == 0);

    store("Nonsense", 1, kivo::MSG_COL_USER, 300, 0);               // no such column
    store("User", 1, kivo::MSG_COL_USER, 300, 0, false);            // "order" missing: skipped
    store("State", 1, kivo::MSG_COL_ACCOUNT, 50, 1);                // foreign kind: ignored whole
    store("Last check", 1, kivo::MSG_COL_LAST_CHECK, 0xFFFFFFFFu, 1);  // absurd width: ignored whole
    store("Mailbox size", 1, kivo::MSG_COL_MAILBOX_SIZE, 60, 0xFFFFFFFFu);  // negative place: ignored whole
    ColumnLayout loaded = ColumnLayout::accounts();
    loaded.load();
    CHECK(names(loaded) == std::vector<std::string>{"Account", "User", "Total msgs", "New messages", "State",
                                                    "Last check", "Mailbox size"});
    CHECK(loaded.records()[0].cx == 150);
    const auto& state = loaded.records()[5];
    CHECK(state.name == "State");
    CHECK(state.kind == kivo::MSG_COL_STATE);
    CHECK(state.cx == 94);
    CHECK(loaded.records()[6].cx == 94);
    CHECK(loaded.records()[7].cx == 94);
    for (std::size_t i = 0; i < loaded.records().size(); ++i)
        CHECK(loaded.records()[i].order == static_cast<std::int32_t>(i));
}

TEST_CASE("columns: reading the header back takes widths and order; hidden columns follow")
{
    ColumnLayout layout = ColumnLayout::messages();
    layout.records()[2].show = false;  // Priority hidden
    // The user dragged "Size" (record 5) to the front and widened "From".
    layout.read_back({{0, 250, 1}, {1, 190, 2}, {3, 94, 3}, {4, 20, 4}, {5, 94, 0}, {99, 1, 0}});
    std::vector<std::string> order;
    for (const auto& record : layout.records())
        order.push_back(record.name);
    CHECK(order == std::vector<std::string>{"Size", "From", "Subject", "Date", "Attach", "Priority"});
    CHECK(layout.records()[1].cx == 250);
    CHECK(layout.records().back().order == 5);
}
