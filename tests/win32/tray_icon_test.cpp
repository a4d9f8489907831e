// The tray icon under Wine: what the notification area is told, and the
// composed badge read back pixel by pixel.
#include <doctest/doctest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "notify/badge_icon.h"
#include "notify/tray_icon.h"

using kivo::notify::TrayIcon;
using kivo::notify::TrayPicture;

namespace {

struct Call {
    DWORD message;
    NOTIFYICONDATAA data;
};

struct RecordingArea : kivo::notify::NotifyArea {
    std::vector<Call> calls;
    int refuse = 0;  // how many calls to refuse first
    bool notify(DWORD message, NOTIFYICONDATAA& data) override
    {
        calls.push_back({message, data});
        if (refuse > 0) {
            --refuse;
            return false;
        }
        return true;
    }
};

// A 16x16 blue square whose four corner pixels are transparent.
kivo::ui::IconHandle blue_icon()
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    kivo::ui::BitmapHandle colour(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* pixels = static_cast<DWORD*>(bits);
    for (int i = 0; i < 256; ++i)
        pixels[i] = 0xFF0000FF;  // opaque blue
    unsigned char mask_bits[16 * 2] = {};
    mask_bits[0] = 0x80;           // (0, 0)
    mask_bits[1] = 0x01;           // (15, 0)
    mask_bits[15 * 2] = 0x80;      // (0, 15)
    mask_bits[15 * 2 + 1] = 0x01;  // (15, 15)
    for (int corner : {0, 15})
        pixels[corner] = pixels[15 * 16 + corner] = 0;
    kivo::ui::BitmapHandle mask(CreateBitmap(16, 16, 1, 1, mask_bits));
    ICONINFO icon{TRUE, 0, 0, mask.get(), colour.get()};
    return kivo::ui::IconHandle(CreateIconIndirect(&icon));
}

// The icon's colour and mask pixels, top-down, as 0x00RRGGBB.
struct Pixels {
    std::vector<DWORD> colour, mask;
    int width = 0;
    DWORD at(int x, int y) const { return colour[static_cast<std::size_t>(y * width + x)] & 0xFFFFFF; }
    bool transparent(int x, int y) const { return (mask[static_cast<std::size_t>(y * width + x)] & 0xFFFFFF) != 0; }
};

Pixels read_icon(HICON icon)
{
    ICONINFO info{};
    REQUIRE(GetIconInfo(icon, &info));
    kivo::ui::BitmapHandle colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    GetObjectA(info.hbmColor, sizeof bm, &bm);
    Pixels p;
    p.width = bm.bmWidth;
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = bm.bmWidth;
    request.bmiHeader.biHeight = -bm.bmHeight;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    p.colour.resize(static_cast<std::size_t>(bm.bmWidth * bm.bmHeight));
    p.mask.resize(p.colour.size());
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(bm.bmHeight), p.colour.data(), &request, DIB_RGB_COLORS);
    GetDIBits(screen, info.hbmMask, 0, static_cast<UINT>(bm.bmHeight), p.mask.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return p;
}

int count(const Pixels& p, DWORD rgb)
{
    int n = 0;
    for (int y = 4; y < 16; ++y)
        for (int x = 4; x < 16; ++x)
            n += p.at(x, y) == rgb && !p.transparent(x, y) ? 1 : 0;
    return n;
}

}  // namespace

TEST_CASE("tray: the area is told on add, on a change only, and on removal")
{
    RecordingArea area;
    kivo::ui::IconHandle base = blue_icon();
    HWND window = reinterpret_cast<HWND>(0x1234);
    {
        TrayIcon tray(area, window);
        TrayPicture one{base.get(), 3, {0, 140, 0}};
        tray.show(one, "3 new messages\nHome: 3");
        tray.show(one, "3 new messages\nHome: 3");  // nothing changed: nothing said
        REQUIRE(area.calls.size() == 1);
        const Call& add = area.calls[0];
        CHECK(add.message == NIM_ADD);
        CHECK(add.data.cbSize == kivo::notify::kNotifyDataSize);
        CHECK(add.data.hWnd == window);
        CHECK(add.data.uID == 777);
        CHECK(add.data.uCallbackMessage == WM_USER + 100);
        CHECK(add.data.uFlags == (NIF_MESSAGE | NIF_ICON | NIF_TIP));
        CHECK(add.data.hIcon != nullptr);
        CHECK(std::string(add.data.szTip) == "3 new messages\nHome: 3");

        tray.show(one, "4 new messages");
        TrayPicture two = one;
        two.number = 4;
        tray.show(two, "4 new messages");
        REQUIRE(area.calls.size() == 3);
        CHECK(area.calls[1].message == NIM_MODIFY);
        CHECK(area.calls[2].message == NIM_MODIFY);

        tray.show(two, std::string(300, 'x'));  // cut to what the area takes
        CHECK(std::strlen(area.calls.back().data.szTip) == 127);

        tray.taskbar_created();  // Explorer restarted: add again
        CHECK(area.calls.back().message == NIM_ADD);
        tray.remove();
        CHECK(area.calls.back().message == NIM_DELETE);
    }
    CHECK(area.calls.back().message == NIM_DELETE);  // not twice
    CHECK(area.calls.size() == 6);
}

TEST_CASE("tray: a refused add is tried again at the next show")
{
    RecordingArea area;
    area.refuse = 1;
    kivo::ui::IconHandle base = blue_icon();
    TrayIcon tray(area, nullptr);
    TrayPicture picture{base.get(), std::nullopt, {0, 140, 0}};
    tray.show(picture, "0 new messages");
    CHECK_FALSE(tray.added());
    tray.show(picture, "0 new messages");
    CHECK(tray.added());
    REQUIRE(area.calls.size() == 2);
    CHECK(area.calls[1].message == NIM_ADD);
}

TEST_CASE("badge: the number sits on a badge of the state's colour; the icon's own transparency stays")
{
    kivo::ui::IconHandle base = blue_icon();
    REQUIRE(base);
    REQUIRE(GetSystemMetrics(SM_CXSMICON) == 16);
    kivo::ui::IconHandle icon = kivo::notify::compose_badge_icon(nullptr, base.get(), {140, 0, 0}, 7);
    REQUIRE(icon);
    Pixels p = read_icon(icon.get());
    CHECK(count(p, 0x8C0000) > 30);  // the red badge
    CHECK(count(p, 0xFFFFFF) > 3);   // the white digit
    CHECK(p.transparent(0, 0));      // corners stay see-through, not black
    CHECK(p.transparent(15, 15));
    CHECK_FALSE(p.transparent(8, 1));
    CHECK(p.at(8, 1) == 0x0000FF);  // the state icon around the badge
}

// The low word of a GDI handle is its slot in the process's handle table.
// Freed slots are handed out again first, so many fresh objects reach past
// the slots in use only as far as objects were never freed. (Wine's
// GetGuiResources counts nothing, so this is the measure that works there.)
std::uintptr_t gdi_high_water()
{
    std::vector<HBRUSH> probes;
    std::uintptr_t highest = 0;
    for (int i = 0; i < 64; ++i) {
        probes.push_back(CreateSolidBrush(0));
        highest = std::max(highest, reinterpret_cast<std::uintptr_t>(probes.back()) & 0xFFFF);
    }
    for (HBRUSH probe : probes)
        DeleteObject(probe);
    return highest;
}

TEST_CASE("badge: composing twice a second for hours leaks nothing")
{
    kivo::ui::IconHandle base = blue_icon();
    std::uintptr_t before = gdi_high_water();
    DWORD counted_before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    kivo::ui::IconHandle icon;
    for (int i = 0; i < 3000; ++i) {
        icon = kivo::notify::compose_badge_icon(nullptr, base.get(), {0, 0, 140}, i % 100);
        REQUIRE(icon);
    }
    Pixels p = read_icon(icon.get());
    CHECK(count(p, 0x00008C) > 30);  // still a real badge at the end
    CHECK(gdi_high_water() < before + 100);  // one object kept per call would be 3000 slots on
    CHECK(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) <= counted_before + 2);
}
