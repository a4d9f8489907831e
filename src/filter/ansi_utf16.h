#pragma once
#include <string>
#include <string_view>

namespace kivo::filter {

// ANSI text <-> UTF-16 code units for the list files' text records.
// Windows-1252 mapping, the code page the program is run with; bytes that
// the code page leaves undefined map to the control code of the same value,
// as Windows does, so every byte string survives a round trip.
std::u16string ansi_to_utf16(std::string_view ansi);
// Units the code page cannot show become '?'.
std::string utf16_to_ansi(std::u16string_view units);

}  // namespace kivo::filter
