#pragma once
#include <cstdint>
#include <string_view>

namespace kivo {

// The program's CRC-32: reflected polynomial 0xEDB88320, started at 0 and
// without the final inversion, so it differs from the usual CRC-32 ("abc"
// gives 0xCA6598D0). Message keys and the filter lists' address sets are
// stored with it, so it must never change.
std::uint32_t crc32(std::string_view bytes, std::uint32_t running = 0);

}  // namespace kivo
