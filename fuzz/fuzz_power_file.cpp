// power.dat: any text reads without harm, and the filters read write back
// to a file that reads the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "filter/power_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto filters = kivo::filter::parse_power_file(bytes);
    for (const auto& f : filters)
        if (f.name.empty() || f.state < 0 || f.state > 1 || (f.friendly && f.uncertain))
            __builtin_trap();
    std::string written = kivo::filter::format_power_file(filters);
    if (kivo::filter::parse_power_file(written) != filters)
        __builtin_trap();
    return 0;
}
