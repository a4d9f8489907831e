#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <mutex>

#include "appcore/command_ids.h"
#include "filter/text_match.h"
#include "filter_dialogs/entry_rules.h"
#include "filter_dialogs/filter_dialog_ids.h"
#include "filter_dialogs/power_edit_dialog.h"
#include "sheet_driver.h"
#include "win32/dialog_script.h"

using namespace kivo;
using namespace kivo::test;

namespace {

bool add_to(FilterFolder& folder, DialogScript& script, int command, const Message& message,
            filter::FilterActions& actions)
{
    script.start();
    return filter_dialogs::add_to_filter(nullptr, *folder.filters, command, message, actions, folder.env);
}

// Test buttons' actions: the sound blocks until the test lets it go, as a
// long sound would; every call is recorded.
struct GatedActions : filter::FilterActions {
    HANDLE gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::mutex guard;
    std::vector<std::string> calls;
    ~GatedActions() override { CloseHandle(gate); }
    void record(std::string call)
    {
        std::lock_guard<std::mutex> lock(guard);
        calls.push_back(std::move(call));
    }
    std::vector<std::string> recorded()
    {
        std::lock_guard<std::mutex> lock(guard);
        return calls;
    }
    void RunMailer() override { record("mailer"); }
    void LaunchProgram(const std::string& path) override { record("launch " + path); }
    void PlaySoundFile(const std::string& file) override
    {
        WaitForSingleObject(gate, INFINITE);
        record("sound " + file);
    }
    void SendToUrl(const std::string& url) override { record("url " + url); }
};

void choose_mark(HWND dialog, int index)
{
    SendDlgItemMessageA(dialog, IDC_PF_MARK, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PF_MARK, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_PF_MARK)));
}

}  // namespace

TEST_CASE("Add to 'From' filter: the word dialog refuses an empty text and stores what it shows")
{
    FilterFolder folder;
    DialogScript script;
    Message message = make_message({"From: Promo <promo@x.biz>"});
    script.then([&] {
        HWND dialog = dialog_titled("Filter Edit");
        REQUIRE(dialog);
        char text[64] = {};
        GetDlgItemTextA(dialog, IDC_WORD_TEXT, text, sizeof text);
        CHECK(std::string(text) == message.from());
        CHECK(enabled(dialog, IDOK));
        set_text(dialog, IDC_WORD_TEXT, "");
        CHECK(!enabled(dialog, IDOK));
        SendDlgItemMessageA(dialog, IDOK, BM_CLICK, 0, 0);  // pressing it anyway does nothing
        CHECK(IsWindow(dialog));
        set_text(dialog, IDC_WORD_TEXT, "jackpot");
        CHECK(enabled(dialog, IDOK));
        set_check(dialog, IDC_WORD_CASE, true);
        set_check(dialog, IDC_MARK_DELETED, true);
        shoot(dialog, "word_edit");
        post_click(dialog, IDOK);
    });
    CHECK(add_to(folder, script, CMD_ADD_TO_FROM, message, folder.actions));
    REQUIRE(folder.filters->fromList().size() == 3);
    const filter::WordFilter& added = folder.filters->fromList().back();
    CHECK(added.text == "jackpot");
    CHECK(added.useCase);
    CHECK(!added.uncertain);
}

TEST_CASE("the size dialog's OK rules")
{
    FilterFolder folder;
    DialogScript script;
    script.then([&] {
        HWND sheet = dialog_titled("Email Filter");
        choose_tab(sheet, 6);
        post_click(shown_page(sheet), IDC_PAGE_ADD);
    });
    script.then([&] {
        HWND dialog = dialog_titled("Filter Edit");
        REQUIRE(dialog);
        CHECK(!enabled(dialog, IDOK));  // neither box
        CHECK(!enabled(dialog, IDC_SIZE_LARGER_KB));
        set_check(dialog, IDC_SIZE_SMALLER, true);
        CHECK(enabled(dialog, IDC_SIZE_SMALLER_KB));
        set_text(dialog, IDC_SIZE_SMALLER_KB, "0");
        CHECK(!enabled(dialog, IDOK));  // only "smaller than" 0
        set_text(dialog, IDC_SIZE_SMALLER_KB, "5");
        CHECK(enabled(dialog, IDOK));
        set_check(dialog, IDC_SIZE_SMALLER, false);
        set_check(dialog, IDC_SIZE_LARGER, true);
        set_text(dialog, IDC_SIZE_LARGER_KB, "2097152");
        CHECK(!enabled(dialog, IDOK));  // would not fit in bytes
        set_text(dialog, IDC_SIZE_LARGER_KB, "2097151");
        CHECK(enabled(dialog, IDOK));
        shoot(dialog, "size_edit");
        post_click(dialog, IDOK);
    });
    script.then([&] {
        HWND sheet = dialog_titled("Email Filter");
        HWND list = GetDlgItem(shown_page(sheet), IDC_PAGE_LIST);
        char text[32] = {};
        ListView_GetItemText(list, 1, 2, text, sizeof text);
        CHECK(std::string(text) == "2097151");
        post_click(sheet, IDOK);
    });
    script.start();
    CHECK(filter_dialogs::run_filter_sheet(nullptr, *folder.filters, folder.actions, folder.env));
    REQUIRE(folder.filters->sizeList().size() == 2);
    CHECK(folder.filters->sizeList()[1].upperBound == 2097151 * 1024);
    CHECK(folder.filters->sizeList()[1].lowerBound == -1);
}

TEST_CASE("Add to 'Power' filter: the dialog needs a name and a condition or a usable size")
{
    FilterFolder folder;
    DialogScript script;
    Message message = make_message({"From: Ann <ann@x.org>", "Subject: Bill"});
    script.then([&] {
        HWND dialog = dialog_titled("Power Filter Edit");
        REQUIRE(dialog);
        shoot(dialog, "power_edit");
        char name[64] = {};
        GetDlgItemTextA(dialog, IDC_PF_NAME, name, sizeof name);
        CHECK(std::string(name) == message.from());
        CHECK(!enabled(dialog, IDOK));  // no condition yet
        CHECK(!enabled(dialog, IDC_PF_SUBJECT_TEXT));
        set_check(dialog, IDC_PF_SUBJECT, true);
        CHECK(enabled(dialog, IDC_PF_SUBJECT_TEXT));
        CHECK(enabled(dialog, IDOK));
        set_text(dialog, IDC_PF_NAME, "");
        CHECK(!enabled(dialog, IDOK));  // no name
        set_text(dialog, IDC_PF_NAME, "Invoices");
        set_check(dialog, IDC_PF_SUBJECT, false);
        set_check(dialog, IDC_PF_SMALLER, true);
        set_text(dialog, IDC_PF_SMALLER_KB, "0");
        CHECK(!enabled(dialog, IDOK));  // only "smaller than" 0
        set_text(dialog, IDC_PF_SMALLER_KB, "3");
        CHECK(enabled(dialog, IDOK));
        set_check(dialog, IDC_PF_PRIORITY, true);
        SendDlgItemMessageA(dialog, IDC_PF_PRIORITY_LEVEL, CB_SETCURSEL, 2, 0);
        choose_mark(dialog, 2);
        set_check(dialog, IDC_PF_ENABLED, false);
        post_click(dialog, IDOK);
    });
    CHECK(add_to(folder, script, CMD_ADD_TO_POWER, message, folder.actions));
    REQUIRE(folder.filters->powerList().size() == 3);
    const filter::PowerFilter& added = folder.filters->powerList().back();
    CHECK(added.name == "Invoices");
    CHECK(added.subject == message.subject());
    CHECK(!added.subjectEnabled);
    CHECK(added.lowerBound == 3072);
    CHECK(added.upperBound == -1);
    CHECK(added.priorityEnabled);
    CHECK(added.priority == 5);
    CHECK(added.mark() == filter::PowerMark::friendly);
    CHECK(added.state == 1);
}

TEST_CASE("the Test buttons go through the actions, the sound and URL ones without holding the window")
{
    FilterFolder folder;
    GatedActions actions;
    DialogScript script;
    HWND dialog = nullptr;
    auto join = [&] {
        auto* self = dynamic_cast<filter_dialogs::PowerEditDialog*>(ui::Dialog::from_handle(dialog));
        REQUIRE(self);
        self->join_tests();
    };
    script.then([&] {
        dialog = dialog_titled("Power Filter Edit");
        REQUIRE(dialog);
        CHECK(!enabled(dialog, IDC_PF_LAUNCH_TEST));
        set_check(dialog, IDC_PF_LAUNCH, true);
        set_text(dialog, IDC_PF_LAUNCH_PATH, "C:\\tools\\notify.bat");
        SendDlgItemMessageA(dialog, IDC_PF_LAUNCH_TEST, BM_CLICK, 0, 0);
        CHECK(actions.recorded() == std::vector<std::string>{"launch C:\\tools\\notify.bat"});
        set_check(dialog, IDC_PF_SOUND, true);
        set_text(dialog, IDC_PF_SOUND_FILE, "ding.wav");
        post_click(dialog, IDC_PF_SOUND_TEST);
    });
    script.then([&] {
        // The sound is playing: the window answers, the button waits.
        CHECK(!enabled(dialog, IDC_PF_SOUND_TEST));
        set_check(dialog, IDC_PF_SOUND, false);
        set_check(dialog, IDC_PF_SOUND, true);
        CHECK(!enabled(dialog, IDC_PF_SOUND_TEST));
        CHECK(actions.recorded().size() == 1);
        SetEvent(actions.gate);
        join();
    });
    script.then([&] {
        CHECK(enabled(dialog, IDC_PF_SOUND_TEST));
        CHECK(actions.recorded().back() == "sound ding.wav");
        set_check(dialog, IDC_PF_URL, true);
        set_text(dialog, IDC_PF_URL_TEXT, "http://example.com/hook");
        post_click(dialog, IDC_PF_URL_TEST);
    });
    script.then([&] {
        join();
    });
    script.then([&] {
        CHECK(enabled(dialog, IDC_PF_URL_TEST));
        CHECK(actions.recorded().back() == std::string("url http://example.com/hook") + filter_dialogs::kUrlTestQuery);
        post_click(dialog, IDCANCEL);
    });
    CHECK(!add_to(folder, script, CMD_ADD_TO_POWER, make_message({"From: a@b.c"}), actions));
    CHECK(script.all_run());
    CHECK(folder.filters->powerList().size() == 2);
    CHECK(actions.recorded().size() == 3);
}

TEST_CASE("Add to friends and spammers asks before taking the filter lock")
{
    FilterFolder folder;
    DialogScript script;
    SUBCASE("friends")
    {
        script.then([&] {
            HWND dialog = dialog_titled("Friend's Edit");
            REQUIRE(dialog);
            char text[64] = {};
            GetDlgItemTextA(dialog, IDC_FRIEND_ADDRESS, text, sizeof text);
            CHECK(std::string(text) == "new@x.org");
            // An account thread can classify meanwhile.
            bool reader = folder.filters->lock().enter_reader();
            CHECK(reader);
            if (reader)
                folder.filters->lock().leave_reader();
            post_click(dialog, IDOK);
        });
        CHECK(add_to(folder, script, CMD_ADD_TO_FRIENDS, make_message({"From: New <new@x.org>"}), folder.actions));
        CHECK(folder.filters->friends().count(filter::AddressKey("new@x.org")) == 1);
        CHECK(read_file(folder.dir.file("friends.dat")) ==
              filter::format_address_file({"zed@x.org", "ann@x.org", "bob@x.org", "new@x.org"}));
    }
    SUBCASE("spammers, edited in the dialog")
    {
        script.then([&] {
            HWND dialog = dialog_titled("Spammer Edit");
            REQUIRE(dialog);
            shoot(dialog, "spammer_edit");
            set_text(dialog, IDC_SPAMMER_ADDRESS, "x.biz");
            post_click(dialog, IDOK);
        });
        CHECK(add_to(folder, script, CMD_ADD_TO_SPAMMERS, make_message({"From: Promo <promo@x.biz>"}), folder.actions));
        CHECK(folder.filters->spammers().count(filter::AddressKey("x.biz")) == 1);
        CHECK(folder.filters->spammers().count(filter::AddressKey("promo@x.biz")) == 0);
    }
    SUBCASE("Cancel adds nothing")
    {
        auto before = folder.files();
        script.then([&] { post_click(dialog_titled("Friend's Edit"), IDCANCEL); });
        CHECK(!add_to(folder, script, CMD_ADD_TO_FRIENDS, make_message({"From: new@x.org"}), folder.actions));
        CHECK(folder.files() == before);
    }
}
