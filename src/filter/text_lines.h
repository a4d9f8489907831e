#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kivo::filter {

// The lines of a text file as text-mode reading gives them: each without
// its line end (LF, or CR LF), a last line without line end kept whole, and
// each cut at a NUL byte, as a C string would be. Lines are not cut at any
// length: a long line written by the program comes back whole.
std::vector<std::string> split_text_lines(std::string_view bytes);

// The line end every text file of the program is written with.
inline constexpr const char* kLineEnd = "\r\n";

}  // namespace kivo::filter
