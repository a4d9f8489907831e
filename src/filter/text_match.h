#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace kivo::filter {

// Condition values of the power filters' combos.
inline constexpr std::int32_t kContains = 0;
inline constexpr std::int32_t kDoesNotContain = 1;

// Does pattern occur in text (condition 0) or not (condition 1)? Both empty
// is true; exactly one empty is false whatever the condition. Without
// useCase both sides are folded with the code page's lower-case mapping.
bool Match(std::string_view text, std::int32_t condition, std::string_view pattern, bool useCase);

// pattern occurs in text as a plain substring; case folded unless useCase.
// An empty pattern occurs in every text.
bool contains_text(std::string_view text, std::string_view pattern, bool useCase);

// Blank and the characters 9 to 13.
bool is_filter_space(char c);
// Trailing, then leading white space removed.
std::string_view trim_filter_space(std::string_view text);

// The sender address of a decoded From field: between the first "<" and the
// ">" after it, else the whole field trimmed. Letter case is kept.
std::string ExtractAddress(std::string_view from);

// The key the friends and spammers sets hold: the program's CRC-32 of the
// address bytes (so equal keys mean equal addresses, case-sensitively).
std::uint32_t AddressKey(std::string_view address);

}  // namespace kivo::filter
