#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <memory>
#include <string>

#include "dialog_probe.h"
#include "dialog_script.h"
#include "dialogs/deletion_confirmation.h"
#include "dialogs/dialog_ids.h"
#include "engine/account.h"
#include "engine/connection_manager.h"
#include "message/message.h"
#include "support/fake_modem.h"
#include "support/message_lines.h"

using kivo::dialogs::DeletionConfirmation;
using kivo::test::DialogScript;
using kivo::test::item_text;

namespace {

struct FakeAsking : kivo::HostClient::Asking {
    std::atomic<bool> gave_up{false};
    bool abandoned() const override { return gave_up.load(); }
};

struct Search {
    std::string name;
    HWND found = nullptr;
};

BOOL CALLBACK match(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    if (item_text(window, IDC_CONFIRM_TEXT).find("'" + search->name + "'") != std::string::npos) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The confirmation for this account, or null (made only once it is its turn).
HWND shown_for(const std::string& name)
{
    Search search{name};
    EnumThreadWindows(GetCurrentThreadId(), match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void tick(HWND dialog, UINT_PTR timer) { SendMessageA(dialog, WM_TIMER, timer, 0); }

DeletionConfirmation::Args args_for(const std::string& name, FakeAsking* asking = nullptr, int* alive = nullptr)
{
    DeletionConfirmation::Args args;
    args.module = GetModuleHandleA(nullptr);
    args.account_name = name;
    args.columns = {{"From", 120}, {"Subject", 160}};
    args.rows = {{"ann@example.com", "Offer"}, {"bob@example.com", "Lottery"}};
    args.asking = asking;
    if (alive)
        args.keep_alive = [alive] { ++*alive; };
    return args;
}

}  // namespace

TEST_CASE("a confirmation left alone counts down to OK(1) and then ends as Cancel")
{
    int alive = 0;
    DeletionConfirmation confirmation(args_for("Work", nullptr, &alive));
    std::string first, last, text;
    int rows = 0;
    bool still_open = false;
    DialogScript script;
    script.then([&] {
        HWND d = shown_for("Work");
        REQUIRE(d);
        text = item_text(d, IDC_CONFIRM_TEXT);
        rows = static_cast<int>(SendDlgItemMessageA(d, IDC_CONFIRM_LIST, LVM_GETITEMCOUNT, 0, 0));
        kivo::test::keep_shot(d, "confirmation");
        tick(d, DeletionConfirmation::kCountdownTimer);
        first = item_text(d, IDOK);
        for (int i = 1; i < 30; ++i)
            tick(d, DeletionConfirmation::kCountdownTimer);
        last = item_text(d, IDOK);
        still_open = DeletionConfirmation::queued() == 1;
        tick(d, DeletionConfirmation::kCountdownTimer);
    });
    script.start();
    CHECK_FALSE(confirmation.run());
    CHECK(script.all_run());
    CHECK(text == "Delete all marked messages for account 'Work' ?");
    CHECK(rows == 2);
    CHECK(first == "OK(30)");
    CHECK(last == "OK(1)");
    CHECK(still_open);
    // Every tick kept the account's time-out from running out while the user read.
    CHECK(alive == 30);
    CHECK(DeletionConfirmation::queued() == 0);
}

TEST_CASE("OK approves; a stopped account's confirmation closes as Cancel")
{
    FakeAsking asking;
    DeletionConfirmation confirmation(args_for("Work", &asking));
    DialogScript script;
    SUBCASE("OK")
    {
        script.then([&] { kivo::test::click(shown_for("Work"), IDOK); });
        script.start();
        CHECK(confirmation.run());
    }
    SUBCASE("stopped while shown")
    {
        script.then([&] {
            HWND d = shown_for("Work");
            REQUIRE(d);
            asking.gave_up = true;
            tick(d, DeletionConfirmation::kWatchTimer);
        });
        script.start();
        CHECK_FALSE(confirmation.run());
    }
    CHECK(script.all_run());
    CHECK(DeletionConfirmation::queued() == 0);
}

TEST_CASE("two confirmations show one after the other, in the order asked")
{
    FakeAsking second_asking;
    DeletionConfirmation first(args_for("First"));
    bool second_answer = true;
    bool second_hidden_while_first = false;
    std::size_t queued_both = 0;
    bool second_shown_after = false;
    bool first_gone = false;

    DialogScript outer;
    DialogScript inner;
    inner.then([&] {
        second_hidden_while_first = shown_for("Second") == nullptr && shown_for("First") != nullptr;
        queued_both = DeletionConfirmation::queued();
        kivo::test::click(shown_for("First"), IDOK);
    });
    inner.then([&] {
        first_gone = DeletionConfirmation::queued() == 1;
        HWND second = shown_for("Second");
        second_shown_after = second != nullptr;
        if (second)
            kivo::test::click(second, IDCANCEL);
    });
    outer.then([&] {
        // Asked for while the first is open (the bridge drained from inside
        // the first one's loop): it waits for its turn.
        DeletionConfirmation second(args_for("Second", &second_asking));
        inner.start();
        second_answer = second.run();
    });
    outer.start();
    CHECK(first.run());
    CHECK(outer.all_run());
    CHECK(inner.all_run());
    CHECK(second_hidden_while_first);
    CHECK(queued_both == 2);
    CHECK(first_gone);
    CHECK(second_shown_after);
    CHECK_FALSE(second_answer);
    CHECK(DeletionConfirmation::queued() == 0);
}

TEST_CASE("a confirmation whose account stops while it waits for its turn is refused unseen")
{
    FakeAsking asking;
    DeletionConfirmation first(args_for("First"));
    bool answer = true;
    bool shown = false;
    DialogScript outer;
    DialogScript inner;
    inner.then([&] { asking.gave_up = true; });
    outer.then([&] {
        DeletionConfirmation second(args_for("Second", &asking));
        inner.start();
        answer = second.run();
        shown = shown_for("Second") != nullptr;
    });
    outer.then([&] { kivo::test::click(shown_for("First"), IDCANCEL); });
    outer.start();
    CHECK_FALSE(first.run());
    CHECK_FALSE(answer);
    CHECK_FALSE(shown);
    CHECK(DeletionConfirmation::queued() == 0);
}

TEST_CASE("the account's confirmation lists its marked messages and keeps its check alive on every tick")
{
    std::vector<kivo::TimedAccount*> timed;
    kivo::ConnectionManager manager{[&] { return timed; }, kivo::test::no_modem(),
                                    [] { return kivo::ConnectionType::lan; }};
    kivo::Account account{&manager};
    account.set_name("Work");
    account.set_timeout(5);
    timed = {&account};
    for (const char* subject : {"Offer", "Hello", "Lottery"}) {
        auto message = std::make_shared<kivo::Message>(kivo::test::make_message(
            std::string("From: ann@example.com\r\nSubject: ") + subject + "\r\n\r\nbody\r\n"));
        if (std::string(subject) != "Hello")
            message->mark_deleted();
        account.messages().push_back(message);
    }
    FakeAsking asking;
    int rows = 0;
    bool armed = false;
    DialogScript script;
    script.then([&] {
        HWND d = shown_for("Work");
        REQUIRE(d);
        rows = static_cast<int>(SendDlgItemMessageA(d, IDC_CONFIRM_LIST, LVM_GETITEMCOUNT, 0, 0));
        CHECK(manager.schedule().empty());
        tick(d, DeletionConfirmation::kCountdownTimer);
        armed = manager.schedule().size() == 1;
        kivo::test::click(d, IDOK);
    });
    script.start();
    CHECK(kivo::dialogs::confirm_deletion(GetModuleHandleA(nullptr), nullptr, account, asking, manager));
    CHECK(rows == 2);
    CHECK(armed);
}
