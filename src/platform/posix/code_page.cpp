#include "platform/code_page.h"

#include <array>

namespace kivo::platform {
namespace {

// 0x80..0x9F of Windows-1252; the rest of the byte range is Latin-1.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

std::u16string ansi_to_utf16(std::string_view ansi)
{
    std::u16string out;
    out.reserve(ansi.size());
    for (char c : ansi) {
        auto byte = static_cast<unsigned char>(c);
        out.push_back(byte >= 0x80 && byte <= 0x9F ? kHigh[byte - 0x80] : static_cast<char16_t>(byte));
    }
    return out;
}

std::string utf16_to_ansi(std::u16string_view units)
{
    std::string out;
    out.reserve(units.size());
    for (char16_t u : units) {
        char byte = '?';
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            byte = static_cast<char>(u);
        } else {
            for (std::size_t i = 0; i < kHigh.size(); ++i)
                if (kHigh[i] == u)
                    byte = static_cast<char>(0x80 + i);
        }
        out.push_back(byte);
    }
    return out;
}

}  // namespace kivo::platform
