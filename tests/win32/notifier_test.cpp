// The Notifier under Wine: what the notification area is told, the tray
// menu while it is up, and the sounds it starts, on a hidden host window.
#include <doctest/doctest.h>

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/notifier.h"
#include "appcore/command_ids.h"
#include "message_ids.h"
#include "ui/menu.h"

using kivo::Account;
using kivo::Settings;
using kivo::MSG_STATE_DISABLED;
using kivo::MSG_STATE_SLEEPING;
using kivo::app::Notifier;
using kivo::app::TrayCommand;

namespace {

struct Call {
    DWORD message;
    NOTIFYICONDATAA data;
};

struct RecordingArea : kivo::notify::NotifyArea {
    std::vector<Call> calls;
    int refuse = 0;
    bool notify(DWORD message, NOTIFYICONDATAA& data) override
    {
        calls.push_back({message, data});
        if (refuse > 0) {
            --refuse;
            return false;
        }
        return true;
    }
    int count(DWORD message) const
    {
        int n = 0;
        for (const Call& call : calls)
            n += call.message == message ? 1 : 0;
        return n;
    }
};

struct RecordingSound : kivo::SoundOutput {
    std::vector<std::string> started;
    int stops = 0;
    bool busy = false;
    kivo::SoundStart start(const std::string& path) override
    {
        if (busy)
            return kivo::SoundStart::busy;
        started.push_back(path);
        return kivo::SoundStart::started;
    }
    void stop() override { ++stops; }
};

struct HostWindow {
    HWND hwnd = CreateWindowExA(0, "STATIC", "notifier host", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ~HostWindow() { DestroyWindow(hwnd); }
};

std::unique_ptr<Account> account(const std::string& name, std::int32_t unseen, std::uint32_t state = MSG_STATE_SLEEPING)
{
    auto a = std::make_unique<Account>();
    a->set_name(name);
    a->set_new_messages(unseen);
    a->set_total_messages(unseen);
    a->set_state(state);
    a->set_sound_file("C:\\" + name + ".wav");
    return a;
}

// Host window, settings, recorders and a Notifier over them.
struct Rig {
    HostWindow host;
    Settings settings;
    RecordingArea area;
    RecordingSound sound;
    std::vector<std::unique_ptr<Account>> owned;
    std::vector<Account*> accounts;
    Notifier::MenuChooser chooser;
    std::unique_ptr<Notifier> notifier;

    Rig()
    {
        REQUIRE(host.hwnd);
        notifier = std::make_unique<Notifier>(
            Notifier::Args{GetModuleHandleA(nullptr), host.hwnd, &settings, &area, &sound,
                           [this](HMENU menu, HWND owner, POINT at) { return chooser ? chooser(menu, owner, at) : 0u; }});
    }
    Account& add(const std::string& name, std::int32_t unseen, std::uint32_t state = MSG_STATE_SLEEPING)
    {
        owned.push_back(account(name, unseen, state));
        accounts.push_back(owned.back().get());
        return *owned.back();
    }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            notifier->tick(accounts);
    }
};

std::string tip(const Call& call)
{
    return call.data.szTip;
}

// Opaque pixels of the given colour in the badge area of an icon.
int badge_pixels(HICON icon, DWORD rgb)
{
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return -1;
    kivo::ui::BitmapHandle colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    GetObjectA(info.hbmColor, sizeof bm, &bm);
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = bm.bmWidth;
    request.bmiHeader.biHeight = -bm.bmHeight;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    std::vector<DWORD> pixels(static_cast<std::size_t>(bm.bmWidth * bm.bmHeight));
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(bm.bmHeight), pixels.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    int n = 0;
    for (DWORD p : pixels)
        n += (p & 0xFFFFFF) == rgb ? 1 : 0;
    return n;
}

constexpr DWORD kGreenBadge = 0x008C00;  // RGB(0, 140, 0) read back as 0x00RRGGBB

}  // namespace

TEST_CASE("notifier: the icon goes up once, changes only when the picture or the tooltip does")
{
    Rig rig;
    rig.add("Home", 3);
    rig.add("Work", 0);
    rig.notifier->put_up(rig.accounts);
    REQUIRE(rig.area.calls.size() == 1);
    const Call& add = rig.area.calls[0];
    CHECK(add.message == NIM_ADD);
    CHECK(add.data.uID == 777);
    CHECK(add.data.uCallbackMessage == 0x464);
    CHECK(add.data.hWnd == rig.host.hwnd);
    CHECK(add.data.cbSize == kivo::notify::kNotifyDataSize);
    CHECK(add.data.uFlags == (NIF_MESSAGE | NIF_ICON | NIF_TIP));
    CHECK(tip(add) == "3 new messages\nHome: 3");

    rig.notifier->accounts_changed(rig.accounts);
    CHECK(rig.area.calls.size() == 1);

    rig.owned[1]->set_new_messages(2);
    rig.notifier->accounts_changed(rig.accounts);
    REQUIRE(rig.area.calls.size() == 2);
    CHECK(rig.area.calls[1].message == NIM_MODIFY);
    CHECK(tip(rig.area.calls[1]) == "5 new messages\nHome: 3\nWork: 2");

    // Without flashing the ticks draw the same picture: nothing more is sent.
    rig.ticks(10);
    CHECK(rig.area.calls.size() == 2);

    rig.notifier->take_down();
    CHECK(rig.area.calls.back().message == NIM_DELETE);
    std::size_t after_removal = rig.area.calls.size();
    rig.ticks(4);
    rig.notifier->accounts_changed(rig.accounts);
    CHECK(rig.area.calls.size() == after_removal);
}

TEST_CASE("notifier: flashing alternates the badge and the flash picture, and stops while notification is off")
{
    Rig rig;
    rig.settings.flash_icon = true;
    rig.add("Home", 3);
    rig.notifier->put_up(rig.accounts);
    HICON first = rig.area.calls[0].data.hIcon;
    REQUIRE(first);
    CHECK(badge_pixels(first, kGreenBadge) > 20);

    rig.ticks(1);  // phase "off": the flash picture, without the badge
    REQUIRE(rig.area.calls.size() == 2);
    CHECK(badge_pixels(rig.area.calls[1].data.hIcon, kGreenBadge) == 0);
    rig.ticks(1);  // phase "on": the badge again
    REQUIRE(rig.area.calls.size() == 3);
    CHECK(badge_pixels(rig.area.calls[2].data.hIcon, kGreenBadge) > 20);

    SUBCASE("many ticks later the badge is still drawn")
    {
        rig.ticks(200);
        CHECK(rig.area.calls.size() == 203);
        rig.ticks(rig.area.calls.size() % 2 == 0 ? 1 : 0);
        HICON now = rig.notifier->shown_icon();
        int green = badge_pixels(now, kGreenBadge);
        if (green == 0) {  // caught on the flash phase
            rig.ticks(1);
            green = badge_pixels(rig.notifier->shown_icon(), kGreenBadge);
        }
        CHECK(green > 20);
    }
    SUBCASE("notification off: the badge stays, nothing flashes")
    {
        rig.notifier->set_notification_off(true);
        rig.ticks(1);
        std::size_t calls = rig.area.calls.size();
        CHECK(badge_pixels(rig.notifier->shown_icon(), kGreenBadge) > 20);
        rig.ticks(6);
        CHECK(rig.area.calls.size() == calls);
        rig.notifier->set_notification_off(false);
        rig.ticks(2);
        CHECK(rig.area.calls.size() > calls);
    }
    SUBCASE("no unseen mail: no flashing")
    {
        rig.owned[0]->set_new_messages(0);
        rig.ticks(1);
        std::size_t calls = rig.area.calls.size();
        rig.ticks(6);
        CHECK(rig.area.calls.size() == calls);
    }
}

TEST_CASE("notifier: a refused add is retried on the tick, and Explorer's restart adds the icon again")
{
    Rig rig;
    rig.add("Home", 1);
    rig.area.refuse = 2;
    rig.notifier->put_up(rig.accounts);
    rig.ticks(1);
    CHECK(rig.area.count(NIM_ADD) == 2);
    CHECK(rig.area.count(NIM_MODIFY) == 0);
    rig.ticks(1);
    CHECK(rig.area.count(NIM_ADD) == 3);
    rig.ticks(3);
    CHECK(rig.area.count(NIM_ADD) == 3);

    UINT restarted = RegisterWindowMessageA("TaskbarCreated");
    CHECK_FALSE(rig.notifier->handle_taskbar_created(WM_USER + 7));
    CHECK(rig.notifier->handle_taskbar_created(restarted));
    CHECK(rig.area.count(NIM_ADD) == 4);
    CHECK(rig.area.calls.back().data.uID == 777);
    CHECK(tip(rig.area.calls.back()) == "1 new messages\nHome: 1");
}

TEST_CASE("notifier: the tray menu, looked at while it is up")
{
    Rig rig;
    Account& home = rig.add("Home", 1);
    Account& twin1 = rig.add("Twin", 0);
    Account& twin2 = rig.add("twin", 0);
    rig.add("Off", 0, MSG_STATE_DISABLED);
    rig.notifier->put_up(rig.accounts);
    const LPARAM right_click = WM_RBUTTONUP;

    struct Seen {
        int default_item = -2;
        std::string notification_text;
        bool notification_grayed = true;
        std::vector<std::string> names;
        std::vector<UINT> ids;
        std::vector<bool> grayed;
    } seen;
    int pick = -1;  // index of the account item to choose; -1: close the menu
    rig.chooser = [&](HMENU handle, HWND, POINT) -> UINT {
        kivo::ui::Menu menu(handle);
        seen = Seen{};
        seen.default_item = menu.default_item();
        seen.notification_text = menu.text(CMD_NOTIFICATION);
        seen.notification_grayed = menu.is_grayed(CMD_NOTIFICATION);
        kivo::ui::Menu check = menu.submenu_at(1);
        for (int i = 0; i < check.count(); ++i) {
            UINT id = static_cast<UINT>(check.command_at(i));
            if (id == 0 || id == CMD_CHECK_ALL)
                continue;
            seen.ids.push_back(id);
            seen.names.push_back(check.text(id));
            seen.grayed.push_back(check.is_grayed(id));
        }
        return pick < 0 ? 0u : seen.ids.at(static_cast<std::size_t>(pick));
    };

    CHECK_FALSE(rig.notifier->handle_callback(777, right_click, rig.accounts).has_value());
    CHECK(seen.default_item == CMD_OPEN);
    CHECK(seen.notification_text == "Notification Off");
    CHECK_FALSE(seen.notification_grayed);
    CHECK(seen.names == std::vector<std::string>{"Home", "Twin", "twin", "Off"});
    CHECK(seen.grayed == std::vector<bool>{false, false, false, true});
    // Names that differ only in case still get items of their own.
    CHECK(seen.ids[1] != seen.ids[2]);

    pick = 2;
    std::optional<TrayCommand> chosen = rig.notifier->handle_callback(777, right_click, rig.accounts);
    REQUIRE(chosen);
    CHECK(chosen->command == CMD_CHECK);
    CHECK(chosen->account_serial == twin2.serial());
    CHECK(chosen->account_serial != twin1.serial());

    rig.notifier->set_notification_off(true);
    pick = 0;
    chosen = rig.notifier->handle_callback(777, right_click, rig.accounts);
    CHECK(seen.notification_text == "Notification On");
    REQUIRE(chosen);
    CHECK(chosen->account_serial == home.serial());

    // A removed account's item ids are gone with it.
    UINT last_id = seen.ids.back();
    rig.accounts.pop_back();
    pick = -1;
    rig.notifier->handle_callback(777, right_click, rig.accounts);
    CHECK(seen.ids.size() == 3);
    CHECK_FALSE(rig.notifier->menu_model().serial_of(static_cast<int>(last_id)).has_value());

    SUBCASE("an icon that is not ours, and mouse moves, give nothing")
    {
        CHECK_FALSE(rig.notifier->handle_callback(778, right_click, rig.accounts).has_value());
        CHECK_FALSE(rig.notifier->handle_callback(777, WM_MOUSEMOVE, rig.accounts).has_value());
    }
    SUBCASE("the double click follows the setting")
    {
        std::optional<TrayCommand> open = rig.notifier->handle_callback(777, WM_LBUTTONDBLCLK, rig.accounts);
        REQUIRE(open);
        CHECK(open->command == CMD_OPEN);  // the host window is hidden
        rig.settings.double_click = Settings::DoubleClick::check_all;
        std::optional<TrayCommand> all = rig.notifier->handle_callback(777, WM_LBUTTONDBLCLK, rig.accounts);
        REQUIRE(all);
        CHECK(all->command == CMD_CHECK_ALL);
    }
}

namespace {

// What the test reads off the tray menu while TrackPopupMenu runs it. A
// thread timer fires inside the menu's own loop, finds the popup window of
// this thread, asks it for its menu and then either closes it or walks to an
// item with the keys a user would press.
struct OpenMenuProbe {
    static inline OpenMenuProbe* current = nullptr;
    std::vector<WPARAM> keys;  // empty: close the menu without a choice
    bool seen_open = false;
    int default_item = -2;
    std::string notification_text;
    bool notification_grayed = true;
    bool check_grayed = true;
    std::vector<std::string> names;
    std::vector<bool> grayed;

    static BOOL CALLBACK find_popup(HWND window, LPARAM out)
    {
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) == "#32768" && IsWindowVisible(window)) {
            *reinterpret_cast<HWND*>(out) = window;
            return FALSE;
        }
        return TRUE;
    }
    static HWND popup_window()
    {
        HWND found = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), &find_popup, reinterpret_cast<LPARAM>(&found));
        return found;
    }
    static void CALLBACK on_timer(HWND, UINT, UINT_PTR timer, DWORD)
    {
        OpenMenuProbe* self = current;
        HWND popup = popup_window();
        if (!self || !popup)
            return;  // not up yet: the next tick looks again
        KillTimer(nullptr, timer);
        self->read(reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0)));
        if (self->keys.empty()) {
            EndMenu();
            return;
        }
        for (WPARAM key : self->keys)
            PostMessageA(popup, WM_KEYDOWN, key, 0);
    }
    void read(HMENU handle)
    {
        if (!handle)
            return;
        seen_open = true;
        kivo::ui::Menu menu(handle);
        default_item = menu.default_item();
        notification_text = menu.text(CMD_NOTIFICATION);
        notification_grayed = menu.is_grayed(CMD_NOTIFICATION);
        check_grayed = (GetMenuState(handle, 1, MF_BYPOSITION) & MF_GRAYED) != 0;
        HMENU check = GetSubMenu(handle, 1);
        for (int i = 0; check && i < GetMenuItemCount(check); ++i) {
            MENUITEMINFOA item{};
            char text[64] = {};
            item.cbSize = sizeof item;
            item.fMask = MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_FTYPE;
            item.dwTypeData = text;
            item.cch = sizeof text;
            GetMenuItemInfoA(check, static_cast<UINT>(i), TRUE, &item);
            if ((item.fType & MFT_SEPARATOR) || item.wID == CMD_CHECK_ALL)
                continue;
            names.push_back(text);
            grayed.push_back((item.fState & MFS_GRAYED) != 0);
        }
    }
};

// Runs one right click on the icon with the real menu, probed while it is up.
std::optional<TrayCommand> right_click_with(Notifier& notifier, const std::vector<Account*>& accounts,
                                            OpenMenuProbe& probe)
{
    OpenMenuProbe::current = &probe;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, &OpenMenuProbe::on_timer);
    // Should the probe never get to the menu, Escape after 8 s ends the wait
    // instead of the run.
    std::atomic<bool> returned{false};
    std::thread watchdog([&returned, thread = GetCurrentThreadId()] {
        for (int i = 0; i < 80 && !returned; ++i)
            Sleep(100);
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!returned && GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMENUMODE))
            PostThreadMessageA(thread, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    std::optional<TrayCommand> chosen = notifier.handle_callback(777, WM_RBUTTONUP, accounts);
    returned = true;
    KillTimer(nullptr, timer);
    OpenMenuProbe::current = nullptr;
    watchdog.join();
    return chosen;
}

}  // namespace

TEST_CASE("notifier: the real tray menu, read while TrackPopupMenu runs it")
{
    HostWindow host;
    Settings settings;
    RecordingArea area;
    RecordingSound sound;
    // No chooser of the test's own: the menu is tracked for real.
    Notifier notifier(Notifier::Args{GetModuleHandleA(nullptr), host.hwnd, &settings, &area, &sound});
    auto home = account("Home", 1);
    auto twin1 = account("Twin", 0);
    auto twin2 = account("twin", 0);
    auto off = account("Off", 0, MSG_STATE_DISABLED);
    std::vector<Account*> accounts{home.get(), twin1.get(), twin2.get(), off.get()};
    notifier.put_up(accounts);

    OpenMenuProbe closed;
    CHECK_FALSE(right_click_with(notifier, accounts, closed).has_value());
    REQUIRE(closed.seen_open);
    CHECK(closed.default_item == CMD_OPEN);
    CHECK(closed.notification_text == "Notification Off");
    CHECK_FALSE(closed.notification_grayed);
    CHECK_FALSE(closed.check_grayed);
    CHECK(closed.names == std::vector<std::string>{"Home", "Twin", "twin", "Off"});
    CHECK(closed.grayed == std::vector<bool>{false, false, false, true});

    // Down to "Check", into it, past "All" and two accounts, Enter: "twin".
    OpenMenuProbe walked;
    walked.keys = {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN};
    std::optional<TrayCommand> chosen = right_click_with(notifier, accounts, walked);
    REQUIRE(walked.seen_open);
    REQUIRE(chosen);
    CHECK(chosen->command == CMD_CHECK);
    CHECK(chosen->account_serial == twin2->serial());

    // Notification turned off, and the icon taken down: the item says "On"
    // and is grayed; with no account at all "Check" is grayed.
    notifier.set_notification_off(true);
    notifier.take_down();
    std::vector<Account*> none;
    OpenMenuProbe stopped;
    right_click_with(notifier, none, stopped);
    REQUIRE(stopped.seen_open);
    CHECK(stopped.notification_text == "Notification On");
    CHECK(stopped.notification_grayed);
    CHECK(stopped.check_grayed);
    CHECK(stopped.names.empty());
}

TEST_CASE("notifier: sounds on the tick, with notification off and on")
{
    Rig rig;
    rig.settings.play_sound = true;
    rig.add("A", 2);
    rig.add("B", 0);
    rig.add("C", 1);

    SUBCASE("repeat: the accounts with unseen mail take turns")
    {
        rig.settings.repeat = true;
        rig.notifier->put_up(rig.accounts);
        rig.ticks(4);
        CHECK(rig.sound.started == std::vector<std::string>{"C:\\A.wav", "C:\\C.wav", "C:\\A.wav", "C:\\C.wav"});
        // Turned off from the tray while the window is hidden: the sound is
        // stopped, and the rotation goes on with the next tick.
        rig.notifier->set_notification_off(true);
        CHECK(rig.sound.stops == 1);
        rig.ticks(1);
        CHECK(rig.sound.started.size() == 5);
        // Shown window: nothing plays.
        ShowWindow(rig.host.hwnd, SW_SHOWNA);
        rig.ticks(3);
        CHECK(rig.sound.started.size() == 5);
        rig.settings.repeat_when_window_is_open = true;
        rig.ticks(1);
        CHECK(rig.sound.started.size() == 6);
        ShowWindow(rig.host.hwnd, SW_HIDE);
    }
    SUBCASE("queue: a queued file plays once; nothing before put_up or after take_down")
    {
        rig.notifier->queue_sound("C:\\A.wav");
        rig.notifier->put_up(rig.accounts);  // the start empties the queue
        rig.ticks(2);
        CHECK(rig.sound.started.empty());
        rig.notifier->queue_sound("C:\\A.wav");
        rig.notifier->queue_sound("C:\\A.wav");
        rig.ticks(3);
        CHECK(rig.sound.started == std::vector<std::string>{"C:\\A.wav"});
        rig.notifier->take_down();
        rig.notifier->queue_sound("C:\\C.wav");
        rig.ticks(3);
        CHECK(rig.sound.started.size() == 1);
        CHECK(rig.sound.stops >= 1);
    }
}

// For a person to look at: with KIVO_TRAY_SHOT_SECONDS set (and a Wine
// desktop with a taskbar), the real icon stays up that long with a badge of
// 7 while a screenshot is taken from outside. Skipped otherwise.
TEST_CASE("notifier: the real tray icon with its badge, for a screenshot")
{
    const char* seconds = std::getenv("KIVO_TRAY_SHOT_SECONDS");
    if (!seconds || !*seconds)
        return;
    HostWindow host;
    Settings settings;
    RecordingSound sound;
    Notifier notifier(Notifier::Args{GetModuleHandleA(nullptr), host.hwnd, &settings, nullptr, &sound});
    auto home = account("Home", 7);
    std::vector<Account*> accounts{home.get()};
    notifier.put_up(accounts);
    DWORD end = GetTickCount() + static_cast<DWORD>(std::atoi(seconds)) * 1000u;
    while (GetTickCount() < end) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        notifier.tick(accounts);
        Sleep(100);
    }
    CHECK(notifier.running());
    notifier.take_down();
}
