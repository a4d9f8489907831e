// friends.dat and spammers.dat: any bytes read without harm, and the
// addresses read write back to a file that reads the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "filter/address_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto addresses = kivo::filter::parse_address_file(bytes);
    for (const std::string& a : addresses)
        if (a.empty())
            __builtin_trap();  // empty lines are skipped
    if (kivo::filter::parse_address_file(kivo::filter::format_address_file(addresses)) != addresses)
        __builtin_trap();
    if (kivo::filter::address_keys(addresses).size() > addresses.size())
        __builtin_trap();
    return 0;
}
