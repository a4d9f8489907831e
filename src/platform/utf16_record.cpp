#include "platform/utf16_record.h"

namespace kivo::platform {

void put_utf16_record(ByteWriter& out, std::u16string_view units)
{
    out.put_u32(static_cast<std::uint32_t>(units.size() * 2));
    for (char16_t unit : units)
        out.put_u16(static_cast<std::uint16_t>(unit));
}

RecordStatus get_utf16_record(ByteReader& in, std::uint32_t max_bytes, std::u16string& units)
{
    std::uint32_t count = 0;
    if (!in.get_u32(count))
        return RecordStatus::truncated;
    if (count > max_bytes)
        return RecordStatus::too_long;
    std::string_view bytes;
    if (!in.get_bytes(count, bytes))
        return RecordStatus::truncated;
    units.clear();
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                              static_cast<unsigned char>(bytes[i + 1]) << 8));
    return RecordStatus::ok;
}

}  // namespace kivo::platform
