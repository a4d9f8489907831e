#include "win32/resource_pixels.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "ui/handles.h"

namespace kivo::test {

DibSection create_dib_section(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    return {bitmap, static_cast<uint32_t*>(bits)};
}

namespace {

struct DcDeleter {
    void operator()(HDC dc) const noexcept { DeleteDC(dc); }
};
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

std::vector<uint32_t> draw_over(HICON icon, int size, uint32_t background)
{
    DibSection dib = create_dib_section(size, size);
    ui::BitmapHandle owner(dib.bitmap);
    MemoryDc dc(CreateCompatibleDC(nullptr));
    HGDIOBJ old = SelectObject(dc.get(), dib.bitmap);
    std::fill(dib.bits, dib.bits + size * size, background);
    GdiFlush();
    DrawIconEx(dc.get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    GdiFlush();
    std::vector<uint32_t> out(dib.bits, dib.bits + size * size);
    SelectObject(dc.get(), old);
    return out;
}

}  // namespace

Pixels icon_pixels(int resource_id, int size)
{
    Pixels result;
    ui::IconHandle icon(static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource_id), IMAGE_ICON, size, size, 0)));
    if (!icon)
        return result;
    ICONINFO info{};
    if (GetIconInfo(icon.get(), &info)) {
        BITMAP bm{};
        GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
        result.width = bm.bmWidth;
        result.height = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    std::vector<uint32_t> on_white = draw_over(icon.get(), size, 0xFFFFFF);
    std::vector<uint32_t> on_black = draw_over(icon.get(), size, 0x000000);
    result.argb.resize(on_white.size());
    for (size_t i = 0; i < on_white.size(); ++i) {
        int seen_through = 0;
        for (int shift : {0, 8, 16})
            seen_through += static_cast<int>((on_white[i] >> shift & 255) - (on_black[i] >> shift & 255));
        uint32_t alpha = static_cast<uint32_t>(255 - std::clamp(seen_through / 3, 0, 255));
        result.argb[i] = alpha << 24 | (on_white[i] & 0xFFFFFF);
    }
    return result;
}

Pixels bitmap_pixels(HBITMAP bitmap)
{
    Pixels result;
    BITMAP bm{};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm))
        return result;
    result.width = bm.bmWidth;
    result.height = bm.bmHeight;
    result.argb.resize(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, bm.bmHeight, result.argb.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (uint32_t& p : result.argb)
        p &= 0xFFFFFF;
    return result;
}

bool save_bitmap(HBITMAP bitmap, const char* path)
{
    Pixels pixels = bitmap_pixels(bitmap);
    if (pixels.argb.empty())
        return false;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = pixels.width;
    header.biHeight = -pixels.height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    DWORD data_size = static_cast<DWORD>(pixels.argb.size() * 4);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + data_size;
    std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(path, "wb"), std::fclose);
    if (!out)
        return false;
    return std::fwrite(&file, sizeof file, 1, out.get()) == 1 && std::fwrite(&header, sizeof header, 1, out.get()) == 1 &&
           std::fwrite(pixels.argb.data(), data_size, 1, out.get()) == 1;
}

}  // namespace kivo::test
