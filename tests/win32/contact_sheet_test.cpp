#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>

#include "app/resource_ids.h"
#include "ui/handles.h"
#include "win32/resource_pixels.h"

// Draws every picture the program carries the way the program's controls
// will draw them (icons with DrawIconEx, the strips and the preview button
// through masked image lists, header bitmaps mapped to the face colour) and,
// when KIVO_SHOTS_DIR names a folder, writes the sheet and shots of the
// Columns and Show header dialogs there for a person to look at.

namespace {

std::string shots_dir()
{
    const char* dir = std::getenv("KIVO_SHOTS_DIR");
    if (!dir || !*dir)
        return {};
    std::string path = dir;
    // A Linux path from the test driver; Wine sees it on drive Z:.
    if (path[0] == '/')
        path = "Z:" + path;
    CreateDirectoryA(path.c_str(), nullptr);
    return path + "/";
}

struct MemoryDc {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = nullptr;
    explicit MemoryDc(HBITMAP target) { old = SelectObject(dc, target); }
    ~MemoryDc()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
};

void fill(HDC dc, int x, int y, int w, int h, COLORREF colour)
{
    kivo::ui::BrushHandle brush(CreateSolidBrush(colour));
    RECT r{x, y, x + w, y + h};
    FillRect(dc, &r, brush.get());
}

// Draws a strip through an image list masked by its key colour; returns the
// number of images.
int draw_strip(HDC dc, int id, int size, COLORREF key, int x, int y)
{
    kivo::ui::BitmapHandle strip(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)));
    kivo::ui::ImageListHandle list(ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 10, 0));
    int count = ImageList_AddMasked(list.get(), strip.get(), key) < 0 ? 0 : ImageList_GetImageCount(list.get());
    for (int i = 0; i < count; ++i)
        ImageList_Draw(list.get(), i, dc, x + i * (size + 8), y, ILD_TRANSPARENT);
    return count;
}

void pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

INT_PTR CALLBACK quiet_procedure(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// A dialog shown with sample content, read back from the screen.
bool shoot_dialog(int id, void (*fill_in)(HWND), const std::string& path)
{
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, quiet_procedure, 0);
    if (!dialog)
        return false;
    fill_in(dialog);
    SetWindowPos(dialog, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    for (int i = 0; i < 20; ++i) {
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        pump();
        Sleep(25);  // lets the X server draw; the shot is for the eye only
    }
    RECT r;
    GetWindowRect(dialog, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    kivo::test::DibSection shot = kivo::test::create_dib_section(w, h);
    kivo::ui::BitmapHandle owner(shot.bitmap);
    bool saved = false;
    {
        MemoryDc dc(shot.bitmap);
        HDC screen = GetDC(nullptr);
        BitBlt(dc.dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
    }
    saved = kivo::test::save_bitmap(shot.bitmap, path.c_str());
    DestroyWindow(dialog);
    return saved;
}

}  // namespace

TEST_CASE("the contact sheet draws every picture through the controls' own paths")
{
    const int icons[] = {IDI_KIVO, IDI_TRAY_FLASH, IDI_TRAY_ERROR, IDI_TRAY_CHECK, IDI_TRAY_CHECK_ERROR,
                         IDI_ACCOUNT_CHECKING, IDI_ACCOUNT_IDLE, IDI_ACCOUNT_FAILED, IDI_ACCOUNT_DISABLED,
                         IDI_MESSAGE_DELETED, IDI_MESSAGE_UNCERTAIN, IDI_MESSAGE_SPAMMER, IDI_PRIORITY_HIGH,
                         IDI_PRIORITY_LOW, IDI_ATTACHMENT, IDI_MESSAGE_FRIEND};
    const int columns = static_cast<int>(std::size(icons));
    const COLORREF backgrounds[] = {GetSysColor(COLOR_3DFACE), RGB(255, 255, 255), RGB(40, 44, 52)};
    const int width = 16 + columns * 56, height = 3 * 72 + 3 * 32 + 60;
    kivo::test::DibSection sheet = kivo::test::create_dib_section(width, height);
    kivo::ui::BitmapHandle owner(sheet.bitmap);
    REQUIRE(sheet.bitmap);
    HMODULE self = GetModuleHandleA(nullptr);
    {
        MemoryDc dc(sheet.bitmap);
        fill(dc.dc, 0, 0, width, height, GetSysColor(COLOR_3DFACE));
        int y = 8;
        // Icons at 16 and 32 over the face, white and a dark taskbar.
        for (COLORREF background : backgrounds) {
            fill(dc.dc, 0, y - 4, width, 64, background);
            for (int i = 0; i < columns; ++i)
                for (int size : {16, 32}) {
                    kivo::ui::IconHandle icon(static_cast<HICON>(
                        LoadImageA(self, MAKEINTRESOURCEA(icons[i]), IMAGE_ICON, size, size, 0)));
                    REQUIRE(icon);
                    CHECK(DrawIconEx(dc.dc, 8 + i * 56 + (size == 16 ? 0 : 20), y + (size == 16 ? 8 : 0),
                                     icon.get(), size, size, 0, nullptr, DI_NORMAL));
                }
            y += 72;
        }
        // The toolbar strips as a toolbar shows them.
        CHECK(draw_strip(dc.dc, IDB_TOOLBAR, 16, RGB(255, 0, 255), 8, y) == TOOLBAR_IMAGE_COUNT);
        y += 28;
        CHECK(draw_strip(dc.dc, IDB_TOOLBAR_DISABLED, 16, RGB(255, 0, 255), 8, y) == TOOLBAR_IMAGE_COUNT);
        y += 28;
        // Header bitmaps and the preview's button.
        int x = 8;
        for (int id : {IDB_HEADER_ATTACH, IDB_HEADER_PRIORITY, IDB_SORT_ASCENDING, IDB_SORT_DESCENDING}) {
            kivo::ui::BitmapHandle bitmap(static_cast<HBITMAP>(
                LoadImageA(self, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
            REQUIRE(bitmap);
            BITMAP info{};
            GetObjectA(bitmap.get(), sizeof info, &info);
            MemoryDc source(bitmap.get());
            BitBlt(dc.dc, x, y, info.bmWidth, info.bmHeight, source.dc, 0, 0, SRCCOPY);
            x += 24;
        }
        CHECK(draw_strip(dc.dc, IDB_PREVIEW_ATTACH, PREVIEW_ATTACH_SIZE, RGB(0, 128, 128), x + 8, y) == 1);
    }
    GdiFlush();
    // The masks worked: no key colour is left on the sheet.
    size_t keys_left = std::count_if(sheet.bits, sheet.bits + width * height, [](uint32_t p) {
        p &= 0xFFFFFF;
        return p == 0xFF00FF || p == 0x008080;
    });
    CHECK(keys_left == 0);

    std::string dir = shots_dir();
    if (dir.empty())
        return;
    CHECK(kivo::test::save_bitmap(sheet.bitmap, (dir + "pictures.bmp").c_str()));
    CHECK(shoot_dialog(
        IDD_COLUMNS,
        [](HWND dialog) {
            for (const char* name : {"Account", "Server (hidden)", "User", "Total msgs", "New messages", "State",
                                     "Last check", "Mailbox size"})
                SendDlgItemMessageA(dialog, IDC_COLUMN_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
            SendDlgItemMessageA(dialog, IDC_COLUMN_LIST, LB_SETCURSEL, 0, 0);
            SetDlgItemTextA(dialog, IDC_COLUMN_WIDTH, "92");
        },
        dir + "dialog_columns.bmp"));
    CHECK(shoot_dialog(
        IDD_SHOW_HEADER,
        [](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_HEADER_TEXT,
                            "Return-Path: <anna@example.org>\r\nReceived: from mail.example.org (mail.example.org "
                            "[192.0.2.7]) by pop.example.net with ESMTP id 4F2A for <tom@example.net>; Sun, 6 Dec "
                            "2026 21:00:00 +0000\r\nFrom: Anna <anna@example.org>\r\nTo: Tom "
                            "<tom@example.net>\r\nSubject: Lunch on Friday?\r\nDate: Sun, 6 Dec 2026 20:59:58 "
                            "+0000\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=us-ascii\r\n");
        },
        dir + "dialog_show_header.bmp"));
    CHECK(shoot_dialog(IDD_LOG, [](HWND) {}, dir + "dialog_log.bmp"));
}
