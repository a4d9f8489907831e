#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

namespace kivo::test {

// An image read back as 0xAARRGGBB pixels, top row first.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;
    uint32_t at(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
};

// The icon resource at one size as DrawIconEx draws it: the colour is what
// shows over white, the alpha what differs between black and white below.
Pixels icon_pixels(int resource_id, int size);

// A bitmap's pixels (alpha 0).
Pixels bitmap_pixels(HBITMAP bitmap);

// Writes a 32-bit DIB section as a .bmp file; false on failure.
bool save_bitmap(HBITMAP bitmap, const char* path);

// A top-down 32-bit DIB section and its bits.
struct DibSection {
    HBITMAP bitmap = nullptr;
    uint32_t* bits = nullptr;
};
DibSection create_dib_section(int width, int height);

}  // namespace kivo::test
