#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/byte_codec.h"

namespace kivo::platform {

// A text as kivo.dat and the filter lists store it: a u32 byte count, then
// that many bytes of UTF-16LE. Each file decides which units it writes, how
// long a record may be and what a zero unit means; this is only the framing.

enum class RecordStatus {
    ok,
    truncated,  // the bytes end inside the record
    too_long,   // the byte count is above the caller's limit
};

void put_utf16_record(ByteWriter& out, std::u16string_view units);

// Refuses a byte count above `max_bytes` before reading any text. An odd
// last byte is no unit and is dropped.
RecordStatus get_utf16_record(ByteReader& in, std::uint32_t max_bytes, std::u16string& units);

}  // namespace kivo::platform
