#include "notify/badge_icon.h"

#include <commctrl.h>

#include <string>

#include "ui/device_context.h"

namespace kivo::notify {
namespace {

ui::IconHandle plain_copy(HICON icon) { return ui::IconHandle(icon ? CopyIcon(icon) : nullptr); }

// The badge's geometry was laid out for 16 pixels; larger small icons (high
// DPI) scale it.
int scaled(int value, int size) { return MulDiv(value, size, 16); }

bool draw_badge(HDC dc, int cx, int cy, HICON state_icon, tray::Colour colour, std::int64_t number)
{
    // The key colour first: whatever the state icon leaves uncovered stays
    // transparent instead of showing the bitmap's black.
    RECT all{0, 0, cx, cy};
    ui::BrushHandle key(CreateSolidBrush(kBadgeKeyColour));
    if (!key || !FillRect(dc, &all, key.get()))
        return false;
    if (!DrawIconEx(dc, 0, 0, state_icon, cx, cy, 0, nullptr, DI_NORMAL))
        return false;

    COLORREF badge = RGB(colour.red, colour.green, colour.blue);
    ui::GdiHandle<HPEN> pen(CreatePen(PS_SOLID, 0, badge));
    ui::BrushHandle brush(CreateSolidBrush(badge));
    ui::FontHandle font(CreateFontA(-MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_BOLD, FALSE, FALSE,
                                    FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH | FF_SWISS, "Arial"));
    if (!pen || !brush || !font)
        return false;
    // Declared after the objects, so they are deselected before they are deleted.
    ui::Selection with_pen(dc, pen.get());
    ui::Selection with_brush(dc, brush.get());
    ui::Selection with_font(dc, font.get());
    if (!with_pen.ok() || !with_brush.ok() || !with_font.ok())
        return false;

    Ellipse(dc, scaled(4, cx), scaled(4, cy), scaled(16, cx), scaled(16, cy));
    SetBkColor(dc, badge);
    SetTextColor(dc, RGB(255, 255, 255));
    std::string text = std::to_string(number);
    DWORD extent = GetTabbedTextExtentA(dc, text.c_str(), static_cast<int>(text.size()), 0, nullptr);
    int width = LOWORD(extent);
    TextOutA(dc, scaled(11, cx) - width / 2, scaled(3, cy), text.c_str(), static_cast<int>(text.size()));
    return true;
}

}  // namespace

ui::IconHandle compose_badge_icon(HWND window, HICON state_icon, tray::Colour colour, std::int64_t number)
{
    if (!state_icon)
        return nullptr;
    const int cx = GetSystemMetrics(SM_CXSMICON);
    const int cy = GetSystemMetrics(SM_CYSMICON);

    ui::WindowDC screen(window);
    if (!screen)
        return plain_copy(state_icon);
    ui::BitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), cx, cy));
    ui::MemoryDC memory(screen.get());
    if (!bitmap || !memory)
        return plain_copy(state_icon);
    bool drawn = false;
    {
        ui::Selection with_bitmap(memory.get(), bitmap.get());
        drawn = with_bitmap.ok() && draw_badge(memory.get(), cx, cy, state_icon, colour, number);
    }  // the bitmap leaves the DC here: an image list cannot take a selected bitmap
    if (!drawn)
        return plain_copy(state_icon);

    ui::ImageListHandle list(ImageList_Create(cx, cy, ILC_COLOR24 | ILC_MASK, 1, 1));
    if (!list || ImageList_AddMasked(list.get(), bitmap.get(), kBadgeKeyColour) != 0)
        return plain_copy(state_icon);
    ui::IconHandle icon(ImageList_GetIcon(list.get(), 0, ILD_NORMAL));
    return icon ? std::move(icon) : plain_copy(state_icon);
}

}  // namespace kivo::notify
