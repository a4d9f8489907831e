#include "message/mime_decode.h"

#include <array>

// The two content transfer decodings that encoded words use.
namespace kivo {

namespace {

constexpr std::array<signed char, 256> make_base64_values()
{
    std::array<signed char, 256> v{};
    for (auto& x : v)
        x = -1;
    for (int i = 0; i < 26; ++i) {
        v['A' + i] = static_cast<signed char>(i);
        v['a' + i] = static_cast<signed char>(26 + i);
    }
    for (int i = 0; i < 10; ++i)
        v['0' + i] = static_cast<signed char>(52 + i);
    v['+'] = 62;
    v['/'] = 63;
    return v;
}

constexpr std::array<signed char, 256> kBase64 = make_base64_values();

int base64_value(char c) { return kBase64[static_cast<unsigned char>(c)]; }

int hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

char byte(int bits) { return static_cast<char>(static_cast<unsigned char>(bits & 0xFF)); }

}  // namespace

void decode_base64(std::string_view text, std::string& out)
{
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; i += 4) {
        // A group cut short by the end of the text ends like a padded one;
        // inventing the missing characters would append junk bytes.
        const std::size_t have = n - i < 4 ? n - i : 4;
        if (have < 2)
            break;
        const char c2 = have > 2 ? text[i + 2] : '=';
        const char c3 = have > 3 ? text[i + 3] : '=';
        const int v0 = base64_value(text[i]);
        const int v1 = base64_value(text[i + 1]);
        const int v2 = base64_value(c2);
        const int v3 = base64_value(c3);
        // Each piece is cut to 8 bits before the OR; -1 (invalid) sets all
        // the bits it contributes.
        out += byte(byte(v0 * 4) | byte(v1 >> 4));
        if (c2 == '=')
            continue;
        out += byte((v1 * 16 & 0xF0) | (v2 >> 2 & 0xFF));
        if (c3 == '=')
            continue;
        out += byte((v2 * 64 & 0xC0) | (v3 & 0xFF));
    }
}

void decode_quoted_printable(std::string_view text, std::string& out, bool underscore_is_blank)
{
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const char c = text[i];
        if (c != '=') {
            out += (underscore_is_blank && c == '_') ? ' ' : c;
            ++i;
            continue;
        }
        if (i + 1 >= n) {
            out += '=';
            break;
        }
        if (text[i + 1] == '\n') {  // soft line break
            i += 2;
            continue;
        }
        if (i + 2 >= n) {
            out.append(text.substr(i, 2));
            break;
        }
        const int hi = hex_value(text[i + 1]);
        const int lo = hex_value(text[i + 2]);
        if (hi >= 0 && lo >= 0)
            out += byte(hi * 16 + lo);
        else
            out.append(text.substr(i, 3));
        i += 3;
    }
}

}  // namespace kivo
