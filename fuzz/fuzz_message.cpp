#include <cstddef>
#include <cstdint>
#include <string>

#include "message/message.h"

// The input is a raw message; its lines are what a TOP reply would give.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string raw(reinterpret_cast<const char*>(data), size);
    kivo::Lines lines;
    std::size_t start = 0;
    while (start < raw.size()) {
        std::size_t end = raw.find('\n', start);
        if (end == std::string::npos)
            end = raw.size();
        std::size_t cut = end > start && raw[end - 1] == '\r' ? end - 1 : end;
        lines.emplace_back(raw, start, cut - start);
        start = end + 1;
    }
    kivo::Message message(lines, static_cast<std::int32_t>(size));
    // Every attachment name comes with the flag.
    if (!message.attachment_names().empty() && !message.has_attachment())
        __builtin_trap();
    return 0;
}
