#pragma once
#include <string>
#include <string_view>

namespace kivo::platform {

// Text of the system's ANSI code page <-> UTF-16 code units, for the binary
// files that store texts as UTF-16LE. Every byte counts, NULs included.
// The POSIX side stands in with Windows-1252, whose undefined bytes map to
// the control code of the same value as on Windows, so any bytes round-trip.
std::u16string ansi_to_utf16(std::string_view ansi);
// Units the code page cannot show become '?'.
std::string utf16_to_ansi(std::u16string_view units);

}  // namespace kivo::platform
