#pragma once
#include <string>
#include <string_view>

namespace kivo::platform {

// Case folding of the system's ANSI code page (multi-byte aware on Windows).
// The POSIX side implements Windows-1252 and Windows-1251 so tests can choose.
std::string to_upper(std::string_view text);
std::string to_lower(std::string_view text);
// Case-insensitive equality with the code page's folding.
bool equal_no_case(std::string_view a, std::string_view b);

// A text cut to at most `limit` bytes without splitting a double-byte
// character of the ANSI code page (the POSIX stand-ins are single-byte).
std::string cut_text(std::string_view text, std::size_t limit);

// Environment variables written as %NAME% replaced by their values; an
// unknown or unclosed name stays as written.
std::string expand_environment(std::string_view text);

// The user's decimal separator; "." when it cannot be read.
std::string decimal_separator();

// POSIX only: choose the code page (1252 or 1251) and the decimal separator
// that the functions above use. Windows always follows the system's settings.
void set_code_page_for_tests(int code_page);
void set_decimal_separator_for_tests(const std::string& separator);

}  // namespace kivo::platform
