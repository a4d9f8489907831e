#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>

namespace kivo::test {

// Expected file contents, spelled out independently of the program's codec.

inline std::string bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

inline std::string le_u32(std::uint32_t v)
{
    return bytes({int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int(v >> 24)});
}

// A UTF-16LE text record of ASCII text: the byte count, then each letter
// followed by a zero byte.
inline std::string ascii_record(const std::string& ascii)
{
    std::string out = le_u32(static_cast<std::uint32_t>(ascii.size() * 2));
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

}  // namespace kivo::test
