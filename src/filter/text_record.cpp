#include "filter/text_record.h"

#include "platform/code_page.h"

namespace kivo::filter {

void write_text_record(ByteWriter& out, const std::string& text)
{
    std::string_view ansi(text);
    if (ansi.size() > kMaxTextRecordChars)
        ansi = ansi.substr(0, kMaxTextRecordChars);
    // One unit per ANSI byte; a multi-byte code page gives fewer units and
    // the rest stay 0.
    std::u16string units = platform::ansi_to_utf16(ansi);
    units.resize(ansi.size(), u'\0');
    out.put_u32(static_cast<std::uint32_t>(ansi.size() * 2));
    for (char16_t unit : units) {
        out.put_u8(static_cast<std::uint8_t>(unit & 0xFF));
        out.put_u8(static_cast<std::uint8_t>(unit >> 8));
    }
}

ReadStatus read_text_record(ByteReader& in, std::string& text)
{
    std::uint32_t count = 0;
    if (!in.get_u32(count))
        return ReadStatus::truncated;
    if (count > kMaxTextRecordBytes)
        return ReadStatus::text_too_long;
    std::string_view bytes;
    if (!in.get_bytes(count, bytes))
        return ReadStatus::truncated;
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8));
        if (unit == 0)
            break;  // the text ends at the first zero unit
        units.push_back(unit);
    }
    text = platform::utf16_to_ansi(units);
    return ReadStatus::ok;
}

}  // namespace kivo::filter
