#pragma once
#include <string_view>

namespace kivo {

// Case-insensitive comparison of MIME tokens and charset names
// ("multipart", "attachment", "koi8-r"), which are ASCII in every code page.
inline bool equal_ascii_no_case(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

}  // namespace kivo
