#include <cstddef>
#include <cstdint>
#include <string>

#include "message/mime_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string out;
    kivo::mime_decode(input, out);
    // Text without an encoded word must come back as it was.
    if (input.find("=?") == std::string::npos && out != input)
        __builtin_trap();
    return 0;
}
