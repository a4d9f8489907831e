#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {

using Lines = std::vector<std::string>;

// A header line that continues the previous one starts with a blank or tab.
bool is_continuation_line(const std::string& line);

// Builds the logical header line that starts at lines[first], joining the
// continuation lines that follow it (each fold becomes one blank), and
// returns the index of the first line after them, at most end.
std::size_t unfold_header_line(const Lines& lines, std::size_t first, std::size_t end, std::string& logical);

// White space as header parsing sees it: blank, tab and characters 10 to 13.
bool is_header_space(char c);
std::string_view trim_left(std::string_view text);
std::string_view trim(std::string_view text);

}  // namespace kivo
