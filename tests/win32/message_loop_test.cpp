#include <doctest/doctest.h>

#include <stdexcept>
#include <vector>

#include "ui/accelerators.h"
#include "ui/dialog.h"
#include "ui/message_loop.h"
#include "ui/window.h"
#include "ui/window_class.h"
#include "win32/dialog_script.h"
#include "win32/dialog_test_ids.h"

using kivo::test::pump;
using kivo::ui::AcceleratorTable;
using kivo::ui::Dialog;
using kivo::ui::MessageLoop;

namespace {

HINSTANCE module()
{
    return GetModuleHandleA(nullptr);
}

// A modeless dialog that records its commands and stays open on OK and
// Cancel, so the keys that reach it can be counted.
class Keys : public Dialog {
public:
    std::vector<int> commands;
    int oks = 0;
    int cancels = 0;

protected:
    bool on_command(int id, int code, HWND) override
    {
        // Code 1: from an accelerator (the lists' own notifications aside).
        if (code == 1 && id != IDOK && id != IDCANCEL)
            commands.push_back(id);
        return false;
    }
    void on_ok() override { ++oks; }
    void on_cancel() override { ++cancels; }
};

void post_key(WPARAM key)
{
    HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, key, 1);
    PostMessageA(focus, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
}

void focus_on(HWND control)
{
    SetForegroundWindow(GetAncestor(control, GA_ROOT));
    SetFocus(control);
}

}  // namespace

TEST_CASE("a modeless dialog gets keyboard navigation through the loop")
{
    Keys keys;
    keys.create_modeless(Dialog::CreateArgs{module(), IDD_NAVIGATION, nullptr});
    HWND dialog = keys.hwnd();
    REQUIRE(dialog);
    focus_on(GetDlgItem(dialog, IDC_FIRST));
    REQUIRE(GetFocus() == GetDlgItem(dialog, IDC_FIRST));
    MessageLoop loop;
    auto through_loop = [&](MSG& msg) { loop.process(msg); };

    SUBCASE("Tab moves the focus from control to control")
    {
        post_key(VK_TAB);
        pump(through_loop);
        CHECK(GetFocus() == GetDlgItem(dialog, IDC_SECOND));
        post_key(VK_TAB);
        pump(through_loop);
        CHECK(GetFocus() == GetDlgItem(dialog, IDC_THIRD));
    }
    SUBCASE("without the loop's dialog translation Tab goes nowhere")
    {
        post_key(VK_TAB);
        pump([](MSG& msg) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        });
        CHECK(GetFocus() == GetDlgItem(dialog, IDC_FIRST));
    }
    SUBCASE("Enter presses the default button and Esc cancels")
    {
        post_key(VK_RETURN);
        pump(through_loop);
        CHECK(keys.oks == 1);
        post_key(VK_ESCAPE);
        pump(through_loop);
        CHECK(keys.cancels == 1);
    }
}

TEST_CASE("accelerators are chosen by the focused control: the same key gives different commands")
{
    Keys keys;
    keys.create_modeless(Dialog::CreateArgs{module(), IDD_NAVIGATION, nullptr});
    HWND dialog = keys.hwnd();
    REQUIRE(dialog);
    HWND list_a = GetDlgItem(dialog, IDC_LIST_A);
    HWND list_b = GetDlgItem(dialog, IDC_LIST_B);

    AcceleratorTable window_keys = AcceleratorTable::load(module(), IDR_WINDOW_KEYS);
    AcceleratorTable list_keys = AcceleratorTable::create({
        ACCEL{FVIRTKEY, VK_F5, CMD_LIST_F5},
        ACCEL{FVIRTKEY, VK_RETURN, CMD_LIST_ENTER},
    });
    MessageLoop loop;
    loop.accelerators().set_window_table(dialog, window_keys.get());
    loop.accelerators().set_control_table(list_a, list_keys.get(), dialog);
    auto through_loop = [&](MSG& msg) { loop.process(msg); };

    SUBCASE("the focused list's table comes first, the window's table after it")
    {
        focus_on(list_a);
        post_key(VK_F5);
        post_key(VK_F6);
        // Enter becomes the list's command before the dialog could take it
        // for its default button.
        post_key(VK_RETURN);
        pump(through_loop);
        CHECK(keys.commands == std::vector<int>{CMD_LIST_F5, CMD_WINDOW_F6, CMD_LIST_ENTER});
        CHECK(keys.oks == 0);
    }
    SUBCASE("a control without a table of its own gets the window's table")
    {
        focus_on(list_b);
        post_key(VK_F5);
        post_key(VK_RETURN);
        pump(through_loop);
        CHECK(keys.commands == std::vector<int>{CMD_WINDOW_F5});
        CHECK(keys.oks == 1);
    }
    SUBCASE("keys typed in another top-level window do not reach the window's table")
    {
        Keys other;
        other.create_modeless(Dialog::CreateArgs{module(), IDD_NAVIGATION, nullptr});
        focus_on(GetDlgItem(other.hwnd(), IDC_LIST_B));
        REQUIRE(GetFocus() == GetDlgItem(other.hwnd(), IDC_LIST_B));
        post_key(VK_F5);
        pump(through_loop);
        CHECK(keys.commands.empty());
        CHECK(other.commands.empty());
    }
}

namespace {
class Counter : public kivo::ui::Window {
public:
    int count = 0;

protected:
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override
    {
        if (message == WM_APP) {
            ++count;
            return 0;
        }
        return default_handling(message, wparam, lparam);
    }
};
}  // namespace

TEST_CASE("the idle hook runs when the queue has emptied, not between waiting messages")
{
    kivo::ui::WindowClass wc(module());
    Counter counter;
    kivo::ui::Window::CreateArgs args;
    args.style = 0;
    args.parent = HWND_MESSAGE;
    counter.create(wc, args);
    for (int i = 0; i < 3; ++i)
        PostMessageA(counter.hwnd(), WM_APP, 0, 0);

    MessageLoop loop;
    std::vector<int> counts_at_idle;
    SUBCASE("it runs after each burst and may post more work")
    {
        loop.set_idle_hook([&] {
            counts_at_idle.push_back(counter.count);
            if (counter.count == 3)
                PostMessageA(counter.hwnd(), WM_APP, 0, 0);
            else if (counter.count == 4)
                PostQuitMessage(5);
        });
        CHECK(loop.run() == 5);
        REQUIRE(counts_at_idle.size() >= 2);
        CHECK(counts_at_idle.front() == 3);
        CHECK(counts_at_idle.back() == 4);
    }
    SUBCASE("what it throws ends the loop")
    {
        loop.set_idle_hook([&] { throw std::runtime_error("idle failed"); });
        CHECK_THROWS_WITH_AS(loop.run(), "idle failed", std::runtime_error);
        CHECK(counter.count == 3);
    }
}
