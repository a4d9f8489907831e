#include "platform/text.h"

#include <cctype>

// ASCII-only first cut; the code-page tables replace it.
namespace kivo::platform {

std::string to_upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string to_lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool equal_no_case(std::string_view a, std::string_view b) { return to_upper(a) == to_upper(b); }
std::string decimal_separator() { return "."; }
void set_code_page_for_tests(int) {}
void set_decimal_separator_for_tests(const std::string&) {}

}  // namespace kivo::platform
