#include "message/format_size.h"

#include "message_ids.h"
#include "platform/message_text.h"
#include "platform/text.h"

namespace kivo {

std::string format_size(std::int32_t size) { return format_size(size, platform::decimal_separator()); }

std::string format_byte_count(std::uint64_t bytes, const std::string& decimal_separator)
{
    std::uint64_t unit = 0;
    std::uint32_t text_id = MSG_SIZE_BYTES;
    if (bytes >= (1ull << 30)) {
        unit = 1ull << 30;
        text_id = MSG_SIZE_GB;
    } else if (bytes >= (1ull << 20)) {
        unit = 1ull << 20;
        text_id = MSG_SIZE_MB;
    } else if (bytes >= 1024) {
        unit = 1024;
        text_id = MSG_SIZE_KB;
    }

    std::string number;
    if (unit == 0) {
        number = std::to_string(bytes);
    } else {
        // Scale before dividing (bytes * 100 / unit) so the shown figure is
        // the true one cut to its decimals: 1536 bytes is 1.50 KB.
        int decimals = bytes < 10 * unit ? 2 : bytes < 100 * unit ? 1 : 0;
        std::uint64_t scale = decimals == 2 ? 100 : decimals == 1 ? 10 : 1;
        // Below 100 units (the only case with decimals) the product cannot overflow.
        const std::string digits = std::to_string(decimals == 0 ? bytes / unit : bytes * scale / unit);
        if (decimals > 0) {
            const std::size_t whole = digits.size() - static_cast<std::size_t>(decimals);
            number = digits.substr(0, whole);
            number += decimal_separator.size() == 1 ? decimal_separator : std::string(".");
            number += digits.substr(whole);
        } else {
            number = digits;
        }
    }
    return platform::message_text(text_id, {number});
}

std::string format_size(std::int32_t size, const std::string& decimal_separator)
{
    // LIST sizes above 2 GB arrive wrapped to negative numbers; read the 32
    // bits as unsigned so they still show as GB rather than as 2^64 - x.
    return format_byte_count(static_cast<std::uint32_t>(size), decimal_separator);
}

}  // namespace kivo
