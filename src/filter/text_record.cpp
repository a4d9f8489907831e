#include "filter/text_record.h"

#include "platform/code_page.h"
#include "platform/utf16_record.h"

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
    platform::put_utf16_record(out, units);
}

ReadStatus read_text_record(ByteReader& in, std::string& text)
{
    std::u16string units;
    switch (platform::get_utf16_record(in, kMaxTextRecordBytes, units)) {
    case platform::RecordStatus::ok:
        break;
    case platform::RecordStatus::too_long:
        return ReadStatus::text_too_long;
    case platform::RecordStatus::truncated:
        return ReadStatus::truncated;
    }
    // The text ends at the first zero unit (the padding written above).
    std::size_t end = units.find(u'\0');
    if (end != std::u16string::npos)
        units.resize(end);
    text = platform::utf16_to_ansi(units);
    return ReadStatus::ok;
}

}  // namespace kivo::filter
