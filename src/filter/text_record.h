#pragma once
#include <cstdint>
#include <string>

#include "platform/byte_codec.h"

namespace kivo::filter {

using platform::ByteReader;
using platform::ByteWriter;

// A text in a list file: u32 byte count (2 x the ANSI length), then UTF-16LE.
inline constexpr std::uint32_t kMaxTextRecordBytes = 131070;  // 0x1FFFE
// The longest text a record can carry.
inline constexpr std::size_t kMaxTextRecordChars = kMaxTextRecordBytes / 2;

enum class ReadStatus {
    ok,
    truncated,      // the file ends inside the record
    text_too_long,  // the byte count is above kMaxTextRecordBytes
};

// Texts longer than kMaxTextRecordChars are cut there, so the file stays
// readable (a longer record would stop every later load at this entry).
void write_text_record(ByteWriter& out, const std::string& text);
ReadStatus read_text_record(ByteReader& in, std::string& text);

}  // namespace kivo::filter
