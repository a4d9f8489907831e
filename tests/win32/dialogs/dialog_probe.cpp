#include "dialog_probe.h"

#include <cstdlib>

#include "resource_pixels.h"
#include "ui/handles.h"

namespace kivo::test {

HWND find_dialog(const char* caption)
{
    // Steps may run before the dialog manager first shows a modal dialog.
    return FindWindowA("#32770", caption);
}

std::string item_text(HWND dialog, int id)
{
    char buffer[1024] = {};
    GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
    return buffer;
}

bool item_enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

void type_text(HWND dialog, int id, const std::string& text) { SetDlgItemTextA(dialog, id, text.c_str()); }

void click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void keep_shot(HWND window, const char* name)
{
    const char* dir = std::getenv("KIVO_SHOTS_DIR");
    if (!dir || !*dir)
        return;
    std::string path = dir;
    if (path[0] == '/')
        path = "Z:" + path;  // Wine sees the Linux path on drive Z:
    CreateDirectoryA(path.c_str(), nullptr);
    path += "/" + std::string(name) + ".bmp";
    // A step may run before the dialog manager first shows the dialog.
    SetWindowPos(window, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    for (int i = 0; i < 8; ++i) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        Sleep(25);  // lets the X server draw; the shot is for the eye only
    }
    RECT r;
    GetWindowRect(window, &r);
    DibSection shot = create_dib_section(r.right - r.left, r.bottom - r.top);
    ui::BitmapHandle owner(shot.bitmap);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, shot.bitmap);
    HDC screen = GetDC(nullptr);
    BitBlt(dc, 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    SelectObject(dc, old);
    DeleteDC(dc);
    save_bitmap(shot.bitmap, path.c_str());
}

}  // namespace kivo::test
