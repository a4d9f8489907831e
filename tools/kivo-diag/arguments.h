#pragma once
#include <cstdint>
#include <string>

namespace kivo::diag {

// A whole decimal number between min and max; false for anything else.
bool parse_number(const std::string& text, std::int64_t min, std::int64_t max, std::int64_t& value);

}  // namespace kivo::diag
