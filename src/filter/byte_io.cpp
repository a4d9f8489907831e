#include "filter/byte_io.h"

namespace kivo::filter {

void ByteWriter::put_u32(std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes_.push_back(static_cast<char>((value >> shift) & 0xFFu));
}

bool ByteReader::get_u8(std::uint8_t& value)
{
    if (remaining() < 1)
        return false;
    value = static_cast<std::uint8_t>(bytes_[pos_++]);
    return true;
}

bool ByteReader::get_u32(std::uint32_t& value)
{
    if (remaining() < 4)
        return false;
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[pos_ + i])) << (8 * i);
    pos_ += 4;
    value = v;
    return true;
}

bool ByteReader::get_i32(std::int32_t& value)
{
    std::uint32_t v = 0;
    if (!get_u32(v))
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

bool ByteReader::get_bytes(std::size_t count, std::string_view& out)
{
    if (remaining() < count)
        return false;
    out = bytes_.substr(pos_, count);
    pos_ += count;
    return true;
}

}  // namespace kivo::filter
