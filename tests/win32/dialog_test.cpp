#include <doctest/doctest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "ui/callback_guard.h"
#include "ui/dialog.h"
#include "ui/message_loop.h"
#include "win32/dialog_script.h"
#include "win32/dialog_test_ids.h"

using kivo::test::DialogScript;
using kivo::ui::Dialog;

namespace {

HINSTANCE module()
{
    return GetModuleHandleA(nullptr);
}

Dialog::CreateArgs form_args()
{
    return Dialog::CreateArgs{module(), IDD_FORM, nullptr};
}

std::string item_text(HWND dialog, int id)
{
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void click(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

constexpr UINT kAsk = WM_APP + 1;
constexpr UINT kFail = WM_APP + 2;
constexpr UINT kCustomNotify = 0x7ffe;

// A form whose OK is enabled only while the name is not empty, with a
// counting button, and a record of what reached its hooks.
class Form : public Dialog {
public:
    // What the hooks saw, in order: message numbers, and the hooks' own
    // calls as negative marks.
    enum Mark { init_hook = -1, command_hook = -2, ok_hook = -3 };
    std::vector<long> seen;
    std::string name;
    int count = 0;
    std::vector<UINT_PTR> timers;
    bool throw_in_init = false;
    bool throw_on_count = false;
    HWND hwnd_in_init = nullptr;
    Dialog* bound_in_init = nullptr;
    HBRUSH static_brush = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));

protected:
    bool on_init() override
    {
        seen.push_back(init_hook);
        if (throw_in_init)
            throw std::runtime_error("init failed");
        hwnd_in_init = hwnd();
        bound_in_init = from_handle(hwnd());
        validate();
        return true;
    }
    bool on_command(int id, int code, HWND) override
    {
        seen.push_back(command_hook);
        if (id == IDC_NAME && code == EN_CHANGE) {
            validate();
            return true;
        }
        if (id == IDC_COUNT && code == BN_CLICKED) {
            if (throw_on_count)
                throw std::runtime_error("count failed");
            ++count;
            return true;
        }
        return false;
    }
    void on_ok() override
    {
        seen.push_back(ok_hook);
        name = item_text(hwnd(), IDC_NAME);
        end(IDOK);
    }
    void on_timer(UINT_PTR id) override { timers.push_back(id); }
    bool on_notify(NMHDR* header, LRESULT& result) override
    {
        if (header->code != kCustomNotify)
            return false;
        result = 1234;
        return true;
    }
    bool on_message(UINT message, WPARAM, LPARAM, LRESULT& result) override
    {
        seen.push_back(static_cast<long>(message));
        if (message == kAsk) {
            result = 77;
            return true;
        }
        if (message == kFail)
            throw std::runtime_error("message failed");
        if (message == WM_CTLCOLORSTATIC) {
            result = reinterpret_cast<LRESULT>(static_brush);
            return true;
        }
        return false;
    }

private:
    void validate() { EnableWindow(item(IDOK), !item_text(hwnd(), IDC_NAME).empty()); }
};

std::size_t position(const std::vector<long>& list, long value)
{
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == value)
            return i;
    return list.size();
}

}  // namespace

TEST_CASE("a modal dialog driven with messages: text, buttons, validation, OK and Cancel")
{
    Form form;
    DialogScript script;
    HWND dialog = nullptr;
    bool ok_at_start = true, ok_with_text = false, ok_emptied = true;
    script.then([&] {
        dialog = form.hwnd();
        ok_at_start = IsWindowEnabled(GetDlgItem(dialog, IDOK));
        SetDlgItemTextA(dialog, IDC_NAME, "abc");
        ok_with_text = IsWindowEnabled(GetDlgItem(dialog, IDOK));
        SetDlgItemTextA(dialog, IDC_NAME, "");
        ok_emptied = IsWindowEnabled(GetDlgItem(dialog, IDOK));
        SetDlgItemTextA(dialog, IDC_NAME, "Kivo");
    });
    script.then([&] {
        click(dialog, IDC_COUNT);
        click(dialog, IDC_COUNT);
    });

    SUBCASE("OK")
    {
        script.then([&] { click(dialog, IDOK); });
        script.start();
        CHECK(form.run_modal(form_args()) == IDOK);
        CHECK(form.name == "Kivo");
    }
    SUBCASE("Cancel")
    {
        script.then([&] { click(dialog, IDCANCEL); });
        script.start();
        CHECK(form.run_modal(form_args()) == IDCANCEL);
        CHECK(form.name.empty());
    }
    CHECK(script.all_run());
    CHECK(!script.step_failed());
    CHECK(!ok_at_start);
    CHECK(ok_with_text);
    CHECK(!ok_emptied);
    CHECK(form.count == 2);
    CHECK(form.hwnd_in_init == dialog);
    CHECK(form.bound_in_init == &form);
    // The window is gone and the object unbound once the call returns.
    CHECK(!IsWindow(dialog));
    CHECK(form.hwnd() == nullptr);
}

TEST_CASE("a dialog's hooks see its messages in order, from WM_INITDIALOG to WM_NCDESTROY")
{
    Form form;
    DialogScript script;
    script.then([&] { click(form.hwnd(), IDC_COUNT); });
    script.then([&] {
        SetDlgItemTextA(form.hwnd(), IDC_NAME, "x");
        click(form.hwnd(), IDOK);
    });
    script.start();
    REQUIRE(form.run_modal(form_args()) == IDOK);

    const std::vector<long>& seen = form.seen;
    REQUIRE(!seen.empty());
    CHECK(seen.front() == WM_INITDIALOG);
    CHECK(position(seen, Form::init_hook) == 1);
    // Nothing reaches the command hook before the dialog was initialised.
    CHECK(position(seen, WM_COMMAND) > position(seen, Form::init_hook));
    CHECK(position(seen, Form::command_hook) > position(seen, WM_COMMAND));
    // OK comes to on_ok after the command hook declined it.
    CHECK(position(seen, Form::ok_hook) < seen.size());
    CHECK(position(seen, WM_DESTROY) > position(seen, Form::ok_hook));
    CHECK(seen.back() == WM_NCDESTROY);
}

TEST_CASE("a dialog's answers: DWLP_MSGRESULT for notifications, the return value for colour messages")
{
    Form form;
    form.create_modeless(form_args());
    HWND dialog = form.hwnd();
    REQUIRE(dialog);
    CHECK(Dialog::from_handle(dialog) == &form);
    // A window of ours that is no dialog, and another class's dialog, are
    // never taken for one of ours.
    CHECK(Dialog::from_handle(GetDlgItem(dialog, IDC_NAME)) == nullptr);
    CHECK(Dialog::from_handle(nullptr) == nullptr);

    NMHDR header{};
    header.hwndFrom = GetDlgItem(dialog, IDC_NAME);
    header.idFrom = IDC_NAME;
    header.code = kCustomNotify;
    CHECK(SendMessageA(dialog, WM_NOTIFY, IDC_NAME, reinterpret_cast<LPARAM>(&header)) == 1234);
    CHECK(SendMessageA(dialog, kAsk, 0, 0) == 77);
    HDC dc = GetDC(dialog);
    CHECK(SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_NAME))) ==
          reinterpret_cast<LRESULT>(form.static_brush));
    ReleaseDC(dialog, dc);
    // A message nobody handles gets the dialog manager's default.
    CHECK(SendMessageA(dialog, WM_APP + 9, 0, 0) == 0);
    // Timer messages through the loop, as a dialog serving as a main window
    // gets them.
    PostMessageA(dialog, WM_TIMER, 7, 0);
    PostQuitMessage(0);
    kivo::ui::run_message_loop();
    CHECK(form.timers == std::vector<UINT_PTR>{7});

    form.destroy();
    CHECK(!IsWindow(dialog));
    CHECK(form.hwnd() == nullptr);
    CHECK(Dialog::from_handle(dialog) == nullptr);
}

TEST_CASE("an exception thrown in a dialog hook is re-raised after the dialog call, never through it")
{
    SUBCASE("in a modal dialog's command hook: the dialog ends and run_modal throws")
    {
        Form form;
        form.throw_on_count = true;
        DialogScript script;
        HWND dialog = nullptr;
        bool returned_from_click = false;
        script.then([&] {
            dialog = form.hwnd();
            click(dialog, IDC_COUNT);
            returned_from_click = true;
        });
        script.start();
        CHECK_THROWS_WITH_AS(form.run_modal(form_args()), "count failed", std::runtime_error);
        CHECK(returned_from_click);
        CHECK(!IsWindow(dialog));
        CHECK(!kivo::ui::has_parked_exception());
    }
    SUBCASE("in a modal dialog's init hook: no window is left")
    {
        Form form;
        form.throw_in_init = true;
        CHECK_THROWS_WITH_AS(form.run_modal(form_args()), "init failed", std::runtime_error);
        CHECK(form.hwnd() == nullptr);
        CHECK(FindWindowA(nullptr, "Form") == nullptr);
        CHECK(!kivo::ui::has_parked_exception());
    }
    SUBCASE("in a modeless dialog's init hook: create_modeless throws and no window is left")
    {
        Form form;
        form.throw_in_init = true;
        CHECK_THROWS_WITH_AS(form.create_modeless(form_args()), "init failed", std::runtime_error);
        CHECK(form.hwnd() == nullptr);
        CHECK(FindWindowA(nullptr, "Form") == nullptr);
    }
    SUBCASE("in a modeless dialog: the sender returns normally, the loop re-raises, the dialog lives on")
    {
        Form form;
        form.create_modeless(form_args());
        REQUIRE(form.hwnd());
        // Had the exception crossed the dialog procedure, it would leave
        // SendMessage itself.
        LRESULT answer = -1;
        CHECK_NOTHROW(answer = SendMessageA(form.hwnd(), kFail, 0, 0));
        CHECK(answer == 0);
        CHECK(kivo::ui::has_parked_exception());
        CHECK_THROWS_WITH_AS(kivo::ui::rethrow_parked_exception(), "message failed", std::runtime_error);

        PostMessageA(form.hwnd(), kFail, 0, 0);
        CHECK_THROWS_WITH_AS(kivo::ui::run_message_loop(), "message failed", std::runtime_error);
        CHECK(IsWindow(form.hwnd()));
        CHECK(SendMessageA(form.hwnd(), kAsk, 0, 0) == 77);
        CHECK(!kivo::ui::has_parked_exception());
    }
}

namespace {
// The shape of a main window built from a dialog template: it sizes its
// list with the window, hides on the close box and Esc, and ends the loop
// when it is destroyed.
class MainLike : public Dialog {
public:
    int list_width = 0;

protected:
    bool on_message(UINT message, WPARAM, LPARAM lparam, LRESULT& result) override
    {
        if (message == WM_SIZE) {
            MoveWindow(item(IDC_MAIN_LIST), 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
            RECT list{};
            GetWindowRect(item(IDC_MAIN_LIST), &list);
            list_width = list.right - list.left;
            result = 0;
            return true;
        }
        if (message == WM_DESTROY)
            PostQuitMessage(3);
        return false;
    }
    void on_cancel() override { ShowWindow(hwnd(), SW_HIDE); }
};
}  // namespace

TEST_CASE("a top-level modeless dialog serves as the main window")
{
    MainLike main;
    main.create_modeless({module(), IDD_MAIN, nullptr});
    HWND window = main.hwnd();
    REQUIRE(window);
    CHECK(GetParent(window) == nullptr);
    ShowWindow(window, SW_SHOW);
    SetWindowPos(window, nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    RECT client{};
    GetClientRect(window, &client);
    CHECK(main.list_width == client.right);

    // The close box comes to on_cancel, which only hides the window.
    PostMessageA(window, WM_CLOSE, 0, 0);
    kivo::ui::MessageLoop loop;
    bool hidden_alive = false;
    loop.set_idle_hook([&] {
        if (IsWindow(window) && !IsWindowVisible(window)) {
            hidden_alive = true;
            DestroyWindow(window);
        }
    });
    CHECK(loop.run() == 3);
    CHECK(hidden_alive);
    CHECK(main.hwnd() == nullptr);
}
