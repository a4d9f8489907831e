#include "dialogs/font_apply.h"

#include <cstring>

namespace kivo::dialogs {
namespace {

// The stored layout: five signed 32-bit fields, eight bytes, a 32-byte face.
constexpr std::size_t kFaceAt = 5 * 4 + 8;
constexpr std::size_t kFaceSize = 32;

std::int32_t get32(const Settings::Font& f, std::size_t at)
{
    return static_cast<std::int32_t>(f[at] | f[at + 1] << 8 | f[at + 2] << 16 | static_cast<std::uint32_t>(f[at + 3]) << 24);
}

void put32(Settings::Font& f, std::size_t at, std::int32_t value)
{
    auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        f[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

BOOL CALLBACK set_child_font(HWND child, LPARAM font)
{
    SendMessageA(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

}  // namespace

LOGFONTA to_logfont(const Settings::Font& f)
{
    LOGFONTA font{};
    font.lfHeight = get32(f, 0);
    font.lfWidth = get32(f, 4);
    font.lfEscapement = get32(f, 8);
    font.lfOrientation = get32(f, 12);
    font.lfWeight = get32(f, 16);
    font.lfItalic = f[20];
    font.lfUnderline = f[21];
    font.lfStrikeOut = f[22];
    font.lfCharSet = f[23];
    font.lfOutPrecision = f[24];
    font.lfClipPrecision = f[25];
    font.lfQuality = f[26];
    font.lfPitchAndFamily = f[27];
    // A stored face without its NUL is cut at 31 characters.
    std::size_t length = 0;
    while (length < kFaceSize - 1 && f[kFaceAt + length] != 0)
        ++length;
    std::memcpy(font.lfFaceName, f.data() + kFaceAt, length);
    font.lfFaceName[length] = '\0';
    return font;
}

Settings::Font from_logfont(const LOGFONTA& font)
{
    Settings::Font f{};
    put32(f, 0, font.lfHeight);
    put32(f, 4, font.lfWidth);
    put32(f, 8, font.lfEscapement);
    put32(f, 12, font.lfOrientation);
    put32(f, 16, font.lfWeight);
    f[20] = font.lfItalic;
    f[21] = font.lfUnderline;
    f[22] = font.lfStrikeOut;
    f[23] = font.lfCharSet;
    f[24] = font.lfOutPrecision;
    f[25] = font.lfClipPrecision;
    f[26] = font.lfQuality;
    f[27] = font.lfPitchAndFamily;
    std::size_t length = strnlen(font.lfFaceName, kFaceSize - 1);
    std::memcpy(f.data() + kFaceAt, font.lfFaceName, length);
    return f;
}

bool apply_font(HWND window, const Settings::Font& stored, ui::FontHandle& current)
{
    LOGFONTA description = to_logfont(stored);
    if (description.lfFaceName[0] == '\0')
        return false;
    ui::FontHandle fresh(CreateFontIndirectA(&description));
    if (!fresh)
        return false;  // the old font stays in use
    // Every window uses the new font before the old one is deleted.
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(fresh.get()), TRUE);
    EnumChildWindows(window, set_child_font, reinterpret_cast<LPARAM>(fresh.get()));
    current = std::move(fresh);
    return true;
}

}  // namespace kivo::dialogs
