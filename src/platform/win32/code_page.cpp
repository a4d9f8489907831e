#include "platform/code_page.h"

#include <windows.h>

#include <climits>

namespace kivo::platform {

std::u16string ansi_to_utf16(std::string_view ansi)
{
    if (ansi.empty() || ansi.size() > INT_MAX)
        return {};
    int size = static_cast<int>(ansi.size());
    int units = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    if (units <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), units);
    return std::u16string(wide.begin(), wide.end());
}

std::string utf16_to_ansi(std::u16string_view units)
{
    if (units.empty() || units.size() > INT_MAX)
        return {};
    std::wstring wide(units.begin(), units.end());
    int count = static_cast<int>(wide.size());
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), count, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return {};
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), count, out.data(), bytes, nullptr, nullptr);
    return out;
}

}  // namespace kivo::platform
