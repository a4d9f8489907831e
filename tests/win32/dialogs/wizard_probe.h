#pragma once
// The accounts wizard as a test finds and drives it on its own thread.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

namespace wizard_probe {

// The wizard's own buttons (the ids the common controls give them).
inline constexpr int kBackButton = 0x3023;
inline constexpr int kNextButton = 0x3024;
inline constexpr int kFinishButton = 0x3025;

inline BOOL CALLBACK find_sheet(HWND window, LPARAM out)
{
    if (GetDlgItem(window, kNextButton)) {
        *reinterpret_cast<HWND*>(out) = window;
        return FALSE;
    }
    return TRUE;
}

// The thread's wizard: the top-level window with the wizard's Next button.
inline HWND wizard()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), find_sheet, reinterpret_cast<LPARAM>(&found));
    return found;
}
inline HWND page() { return PropSheet_GetCurrentPageHwnd(wizard()); }
inline void press(int button) { PropSheet_PressButton(wizard(), button); }

}  // namespace wizard_probe
