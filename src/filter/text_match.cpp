#include "filter/text_match.h"

#include "message/crc32.h"
#include "platform/text.h"

namespace kivo::filter {

bool contains_text(std::string_view text, std::string_view pattern, bool useCase)
{
    if (useCase)
        return text.find(pattern) != std::string_view::npos;
    std::string lower_text = platform::to_lower(text);
    std::string lower_pattern = platform::to_lower(pattern);
    return lower_text.find(lower_pattern) != std::string::npos;
}

bool Match(std::string_view text, std::int32_t condition, std::string_view pattern, bool useCase)
{
    if (text.empty() && pattern.empty())
        return true;
    if (text.empty() || pattern.empty())
        return false;
    bool found = contains_text(text, pattern, useCase);
    return condition == kDoesNotContain ? !found : found;
}

bool is_filter_space(char c)
{
    return c == ' ' || (c >= 9 && c <= 13);
}

std::string_view trim_filter_space(std::string_view text)
{
    while (!text.empty() && is_filter_space(text.back()))
        text.remove_suffix(1);
    while (!text.empty() && is_filter_space(text.front()))
        text.remove_prefix(1);
    return text;
}

std::string ExtractAddress(std::string_view from)
{
    std::size_t open = from.find('<');
    // The closing bracket is looked for after the opening one: a ">" before
    // the first "<" cannot close it.
    std::size_t close = open == std::string_view::npos ? std::string_view::npos : from.find('>', open + 1);
    if (open != std::string_view::npos && close != std::string_view::npos)
        return std::string(from.substr(open + 1, close - open - 1));
    return std::string(trim_filter_space(from));
}

std::uint32_t AddressKey(std::string_view address)
{
    return crc32(address);
}

}  // namespace kivo::filter
