// Looks at another program's windows from outside, the way a user sees them:
//   window_probe.exe shown TITLE        exit 0 when a visible top-level window has TITLE
//   window_probe.exe focus TITLE        prints the control id and class that has the
//                                       keyboard focus in that window's thread
//   window_probe.exe enabled TITLE ID   exit 0 when the control ID inside it is enabled
//   window_probe.exe images TITLE ID    prints the row picture (image list index, or a
//                                       negative number for none) of each row of list view ID
//   window_probe.exe rect TITLE         prints the window's screen rectangle: X Y WIDTH HEIGHT
//   window_probe.exe tray               prints the notification area's screen rectangle
//   window_probe.exe screen             prints the screen's size: WIDTH HEIGHT
// Exit code 1 when the window or control is not there, 2 on bad arguments.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Search {
    int id;
    HWND found;
};

BOOL CALLBACK find_child(HWND child, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    if (GetDlgCtrlID(child) == search->id) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

// FindWindow alone may return a hidden window of the same title (a dialog
// being destroyed, the program's window while it is in the tray).
struct Shown {
    const char* title;
    HWND found;
};

BOOL CALLBACK find_shown(HWND window, LPARAM param)
{
    auto* shown = reinterpret_cast<Shown*>(param);
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    if (IsWindowVisible(window) && lstrcmpA(text, shown->title) == 0) {
        shown->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND shown_window(const char* title)
{
    Shown shown{title, nullptr};
    EnumWindows(find_shown, reinterpret_cast<LPARAM>(&shown));
    return shown.found;
}

// Each row's image index, read through an LVITEM in the list's own process.
int print_images(HWND list)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return 1;
    void* remote = VirtualAllocEx(process, nullptr, sizeof(LVITEMA), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    int rc = remote ? 0 : 1;
    int rows = remote ? static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
    for (int row = 0; row < rows; ++row) {
        LVITEMA item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        SIZE_T moved = 0;
        WriteProcessMemory(process, remote, &item, sizeof item, &moved);
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote));
        ReadProcessMemory(process, remote, &item, sizeof item, &moved);
        std::printf("%d\n", item.iImage);
    }
    if (remote)
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return rc;
}

int print_rect(HWND window)
{
    RECT r{};
    if (!window || !GetWindowRect(window, &r))
        return 1;
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "screen" && argc == 2) {
        std::printf("%d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        return 0;
    }
    if (verb == "tray" && argc == 2) {
        HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
        HWND area = taskbar ? FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", nullptr) : nullptr;
        return print_rect(area ? area : taskbar);
    }
    if (argc < 3)
        return 2;
    HWND window = shown_window(argv[2]);
    if (!window)
        return 1;
    if (verb == "shown" && argc == 3)
        return 0;
    if (verb == "rect" && argc == 3)
        return print_rect(window);
    if (verb == "focus" && argc == 3) {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndFocus)
            return 1;
        char name[64] = {};
        GetClassNameA(info.hwndFocus, name, sizeof name);
        std::printf("%d %s\n", GetDlgCtrlID(info.hwndFocus), name);
        return 0;
    }
    if ((verb == "enabled" || verb == "images") && argc == 4) {
        Search search{std::atoi(argv[3]), nullptr};
        EnumChildWindows(window, find_child, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            return 1;
        if (verb == "images")
            return print_images(search.found);
        return IsWindowEnabled(search.found) ? 0 : 1;
    }
    return 2;
}
