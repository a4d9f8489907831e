#include "win32/box_watcher.h"

#include <stdexcept>

namespace kivo::test {
namespace {

struct State {
    HHOOK hook = nullptr;
    UINT_PTR watchdog = 0;
    int button = IDOK;
    SeenBox box;
};
thread_local State* state = nullptr;

bool is_dialog(HWND hwnd)
{
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return std::string(name) == "#32770";
}

BOOL CALLBACK read_control(HWND control, LPARAM)
{
    char name[16] = {};
    GetClassNameA(control, name, sizeof name);
    if (std::string(name) != "Static")
        return TRUE;
    if ((GetWindowLongPtrA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        state->box.icon = reinterpret_cast<HICON>(SendMessageA(control, STM_GETICON, 0, 0));
    } else {
        char text[1024] = {};
        GetWindowTextA(control, text, sizeof text);
        if (text[0])
            state->box.text = text;
    }
    return TRUE;
}

LRESULT CALLBACK cbt_hook(int code, WPARAM wparam, LPARAM lparam)
{
    HWND hwnd = reinterpret_cast<HWND>(wparam);
    if (code == HCBT_ACTIVATE && state && !state->box.seen && is_dialog(hwnd)) {
        state->box.seen = true;
        char caption[256] = {};
        GetWindowTextA(hwnd, caption, sizeof caption);
        state->box.caption = caption;
        state->box.owner = GetWindow(hwnd, GW_OWNER);
        EnumChildWindows(hwnd, read_control, 0);
        // Posted, so the click comes once the box runs its own loop.
        if (HWND button = GetDlgItem(hwnd, state->button))
            PostMessageA(button, BM_CLICK, 0, 0);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

BOOL CALLBACK close_dialog(HWND hwnd, LPARAM)
{
    if (is_dialog(hwnd))
        PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

void CALLBACK watchdog(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), close_dialog, 0);
}

}  // namespace

BoxWatcher::BoxWatcher(int button_to_press)
{
    if (state)
        throw std::logic_error("one BoxWatcher per thread");
    state = new State;
    state->button = button_to_press;
    state->hook = SetWindowsHookExA(WH_CBT, cbt_hook, nullptr, GetCurrentThreadId());
    if (!state->hook) {
        delete state;
        state = nullptr;
        throw std::runtime_error("SetWindowsHookEx failed");
    }
    state->watchdog = SetTimer(nullptr, 0, 20000, watchdog);
}

BoxWatcher::~BoxWatcher()
{
    UnhookWindowsHookEx(state->hook);
    KillTimer(nullptr, state->watchdog);
    delete state;
    state = nullptr;
}

const SeenBox& BoxWatcher::box() const
{
    return state->box;
}

}  // namespace kivo::test
