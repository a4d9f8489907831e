#include <doctest/doctest.h>

#include <stdexcept>
#include <string>

#include "ui/callback_guard.h"
#include "ui/message_loop.h"
#include "ui/property_sheet.h"
#include "win32/dialog_script.h"
#include "win32/dialog_test_ids.h"

using kivo::test::DialogScript;
using kivo::ui::PropertyPage;
using kivo::ui::PropertySheetDialog;

namespace {

HINSTANCE module()
{
    return GetModuleHandleA(nullptr);
}

std::string item_text(HWND dialog, int id)
{
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// The wizard's own buttons (the ids the common controls give them).
constexpr int kBackButton = 0x3023;
constexpr int kNextButton = 0x3024;
constexpr int kFinishButton = 0x3025;

bool enabled(HWND sheet, int id)
{
    HWND button = GetDlgItem(sheet, id);
    return button && IsWindowVisible(button) && IsWindowEnabled(button);
}

// A wizard page whose buttons follow its fields.
class WizardPage : public PropertyPage {
public:
    bool first = false;
    bool last = false;
    std::vector<int> fields;
    std::vector<std::string> values;  // taken when the page is left or finished
    bool finished = false;

protected:
    bool on_set_active() override
    {
        update();
        return true;
    }
    bool on_command(int, int code, HWND) override
    {
        if (code == EN_CHANGE)
            update();
        return false;
    }
    bool on_kill_active() override
    {
        take();
        return true;
    }
    bool on_wizard_finish() override
    {
        take();
        finished = true;
        return true;
    }

private:
    bool filled() const
    {
        for (int id : fields)
            if (item_text(hwnd(), id).empty())
                return false;
        return true;
    }
    void take()
    {
        values.clear();
        for (int id : fields)
            values.push_back(item_text(hwnd(), id));
    }
    void update()
    {
        DWORD buttons = first ? 0 : PSWIZB_BACK;
        if (last)
            buttons |= filled() ? PSWIZB_FINISH : PSWIZB_DISABLEDFINISH;
        else if (filled())
            buttons |= PSWIZB_NEXT;
        set_wizard_buttons(buttons);
    }
};

}  // namespace

TEST_CASE("a three-page wizard whose Next and Finish follow the fields")
{
    WizardPage name, server, login;
    name.first = true;
    name.fields = {IDC_ACCOUNT};
    server.fields = {IDC_SERVER};
    login.last = true;
    login.fields = {IDC_USER, IDC_PASSWORD};

    PropertySheetDialog wizard;
    wizard.add_page(name, {module(), IDD_WIZARD_NAME, "", "Enter Email Account Name", "Account is mailbox."});
    wizard.add_page(server, {module(), IDD_WIZARD_SERVER, "", "Enter Server Name", "Account is mailbox."});
    wizard.add_page(login, {module(), IDD_WIZARD_LOGIN, "", "Enter Login Info", "Account is mailbox."});
    PropertySheetDialog::Args args;
    args.caption = "Accounts Wizard";
    args.wizard = true;

    HWND sheet = nullptr;
    struct Seen {
        bool back = true, next = true, finish = true;
    };
    Seen blank_name, typed_name, blank_server, back_on_name, user_only;
    bool finish_with_both = false;
    bool server_not_made_yet = false;
    auto seen = [&] { return Seen{enabled(sheet, kBackButton), enabled(sheet, kNextButton), enabled(sheet, kFinishButton)}; };
    auto press = [&](int button) { PropSheet_PressButton(sheet, button); };
    auto current = [&] { return PropSheet_GetCurrentPageHwnd(sheet); };

    DialogScript script;
    script.then([&] {
        sheet = name.sheet_hwnd();
        server_not_made_yet = server.hwnd() == nullptr;
    });
    script.then([&] { blank_name = seen(); });
    script.then([&] { SetDlgItemTextA(name.hwnd(), IDC_ACCOUNT, "Home"); });
    script.then([&] { typed_name = seen(); });
    script.then([&] { press(PSBTN_NEXT); });
    script.then([&] { CHECK(current() == server.hwnd()); });
    script.then([&] {
        blank_server = seen();
        press(PSBTN_BACK);
    });
    script.then([&] { CHECK(current() == name.hwnd()); });
    script.then([&] {
        back_on_name = seen();
        press(PSBTN_NEXT);
    });
    script.then([&] { SetDlgItemTextA(server.hwnd(), IDC_SERVER, "pop.example.com"); });
    script.then([&] { press(PSBTN_NEXT); });
    script.then([&] {
        CHECK(current() == login.hwnd());
        SetDlgItemTextA(login.hwnd(), IDC_USER, "me");
    });
    script.then([&] { user_only = seen(); });
    script.then([&] { SetDlgItemTextA(login.hwnd(), IDC_PASSWORD, "secret"); });
    script.then([&] { finish_with_both = enabled(sheet, kFinishButton); });

    SUBCASE("finished")
    {
        script.then([&] { press(PSBTN_FINISH); });
        script.start();
        CHECK(wizard.run_modal(args));
        CHECK(login.finished);
        CHECK(login.values == std::vector<std::string>{"me", "secret"});
    }
    SUBCASE("cancelled on the last page")
    {
        script.then([&] { press(PSBTN_CANCEL); });
        script.start();
        CHECK(!wizard.run_modal(args));
        CHECK(!login.finished);
    }
    CHECK(script.all_run());
    CHECK(!script.step_failed());
    CHECK(server_not_made_yet);
    CHECK(!blank_name.back);
    CHECK(!blank_name.next);
    CHECK(typed_name.next);
    CHECK(blank_server.back);
    CHECK(!blank_server.next);
    // Going back finds the name still there, and Next with it.
    CHECK(back_on_name.next);
    CHECK(name.values == std::vector<std::string>{"Home"});
    CHECK(server.values == std::vector<std::string>{"pop.example.com"});
    CHECK(user_only.back);
    CHECK(!user_only.finish);
    CHECK(finish_with_both);
    CHECK(!IsWindow(sheet));
}

namespace {

// A property sheet page that counts what the sheet asked of it.
class CountingPage : public PropertyPage {
public:
    int applies = 0;
    int resets = 0;
    bool refuse_leave = false;
    int refuse_applies = 0;  // how many applies to refuse before accepting
    bool throw_on_apply = false;

protected:
    bool on_kill_active() override { return !refuse_leave; }
    bool on_apply() override
    {
        if (throw_on_apply)
            throw std::runtime_error("apply failed");
        if (refuse_applies > 0) {
            --refuse_applies;
            return false;
        }
        ++applies;
        return true;
    }
    void on_reset() override { ++resets; }
};

}  // namespace

TEST_CASE("a property sheet applies only the pages that were shown")
{
    CountingPage first, second, third;
    PropertySheetDialog sheet;
    sheet.add_page(first, {module(), IDD_PAGE, "First", "", "", false});
    sheet.add_page(second, {module(), IDD_PAGE, "Second", "", "", false});
    sheet.add_page(third, {module(), IDD_PAGE, "Third", "", "", false});
    PropertySheetDialog::Args args;
    args.caption = "Settings";

    HWND window = nullptr;
    DialogScript script;
    script.then([&] {
        window = first.sheet_hwnd();
        CHECK(first.was_shown());
        CHECK(!second.was_shown());
        PropSheet_SetCurSel(window, nullptr, 2);
    });
    script.then([&] { CHECK(PropSheet_GetCurrentPageHwnd(window) == third.hwnd()); });

    SUBCASE("OK applies the first and third pages")
    {
        script.then([&] { PropSheet_PressButton(window, PSBTN_OK); });
        script.start();
        CHECK(sheet.run_modal(args));
        CHECK(first.applies == 1);
        CHECK(second.applies == 0);
        CHECK(third.applies == 1);
        CHECK(!second.was_shown());
    }
    SUBCASE("a page that refuses to be left keeps the user on it")
    {
        script.then([&] {
            third.refuse_leave = true;
            PropSheet_SetCurSel(window, nullptr, 1);
        });
        script.then([&] {
            CHECK(PropSheet_GetCurrentPageHwnd(window) == third.hwnd());
            CHECK(!second.was_shown());
            third.refuse_leave = false;
            PropSheet_PressButton(window, PSBTN_OK);
        });
        script.start();
        CHECK(sheet.run_modal(args));
        CHECK(third.applies == 1);
    }
    SUBCASE("a page that refuses to apply keeps the sheet open")
    {
        first.refuse_applies = 1;
        script.then([&] { PropSheet_PressButton(window, PSBTN_OK); });
        script.then([&] {
            CHECK(IsWindow(window));
            PropSheet_PressButton(window, PSBTN_OK);
        });
        script.start();
        CHECK(sheet.run_modal(args));
        CHECK(first.applies == 1);
        CHECK(first.refuse_applies == 0);
    }
    SUBCASE("Cancel applies nothing and resets the pages that were shown")
    {
        script.then([&] { PropSheet_PressButton(window, PSBTN_CANCEL); });
        script.start();
        CHECK(!sheet.run_modal(args));
        CHECK(first.applies + second.applies + third.applies == 0);
        CHECK(second.resets == 0);
        CHECK(third.resets == 1);
    }
    SUBCASE("an exception in a page's apply ends the sheet, applies no further page and is re-raised")
    {
        first.throw_on_apply = true;
        script.then([&] { PropSheet_PressButton(window, PSBTN_OK); });
        script.start();
        CHECK_THROWS_WITH_AS(sheet.run_modal(args), "apply failed", std::runtime_error);
        CHECK(third.applies == 0);
        CHECK(!kivo::ui::has_parked_exception());
    }
    CHECK(script.all_run());
    CHECK(!script.step_failed());
    CHECK(!IsWindow(window));
}

TEST_CASE("a modeless property sheet gets its keys through the loop and goes once OK finished it")
{
    CountingPage first, second;
    PropertySheetDialog sheet;
    sheet.add_page(first, {module(), IDD_PAGE, "First", "", "", false});
    sheet.add_page(second, {module(), IDD_PAGE, "Second", "", "", false});
    PropertySheetDialog::Args args;
    args.caption = "Modeless";
    sheet.create_modeless(args);
    HWND window = sheet.hwnd();
    REQUIRE(window);
    CHECK(!sheet.is_modal());
    CHECK(first.sheet_hwnd() == window);

    kivo::ui::MessageLoop loop;
    auto through_loop = [&](MSG& msg) { loop.process(msg); };
    HWND edit = GetDlgItem(first.hwnd(), IDC_PAGE_TEXT);
    SetForegroundWindow(window);
    SetFocus(edit);
    REQUIRE(GetFocus() == edit);
    PostMessageA(edit, WM_KEYDOWN, VK_TAB, 1);
    kivo::test::pump(through_loop);
    // The sheet's dialog translation moved the focus on (to its tabs or
    // buttons); a plain dispatch would have left it in the edit.
    CHECK(GetFocus() != edit);
    CHECK(IsWindow(window));

    PropSheet_PressButton(window, PSBTN_OK);
    PostMessageA(window, WM_NULL, 0, 0);
    kivo::test::pump(through_loop);
    CHECK(!IsWindow(window));
    CHECK(sheet.hwnd() == nullptr);
    CHECK(first.applies == 1);
    CHECK(second.applies == 0);
    CHECK(first.hwnd() == nullptr);
}
