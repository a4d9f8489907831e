#include "message/crc32.h"

#include <array>

namespace kivo {

namespace {

constexpr std::array<std::uint32_t, 256> make_table()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kTable = make_table();

}  // namespace

std::uint32_t crc32(std::string_view bytes, std::uint32_t running)
{
    for (char ch : bytes)
        running = kTable[(running ^ static_cast<unsigned char>(ch)) & 0xFFu] ^ (running >> 8);
    return running;
}

}  // namespace kivo
