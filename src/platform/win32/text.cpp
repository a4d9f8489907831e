#include "platform/text.h"

#include <windows.h>

#include <algorithm>

namespace kivo::platform {

namespace {

// CharUpperBuffA and CharLowerBuffA convert through the ANSI code page, so
// double-byte characters are folded as whole characters.
std::string fold(std::string_view text, DWORD (WINAPI* fn)(LPSTR, DWORD))
{
    std::string out(text);
    std::size_t done = 0;
    while (done < out.size()) {
        // The count is a DWORD; texts of 4 GB are not real, but never wrap.
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 0x7fffffff));
        fn(out.data() + done, chunk);
        done += chunk;
    }
    return out;
}

}  // namespace

std::string to_upper(std::string_view text) { return fold(text, CharUpperBuffA); }

std::string expand_environment(std::string_view text)
{
    std::string source(text);
    DWORD needed = ExpandEnvironmentStringsA(source.c_str(), nullptr, 0);
    std::string expanded(needed, '\0');
    DWORD got = needed ? ExpandEnvironmentStringsA(source.c_str(), expanded.data(), needed) : 0;
    if (got == 0 || got > needed)
        return source;  // as it stands when the system cannot expand it
    expanded.resize(got - 1);
    return expanded;
}

std::string cut_text(std::string_view text, std::size_t limit)
{
    std::size_t end = 0;
    while (end < text.size()) {
        std::size_t step = IsDBCSLeadByte(static_cast<BYTE>(text[end])) && end + 1 < text.size() ? 2 : 1;
        if (end + step > limit)
            break;
        end += step;
    }
    return std::string(text.substr(0, end));
}

std::string to_lower(std::string_view text) { return fold(text, CharLowerBuffA); }

bool equal_no_case(std::string_view a, std::string_view b) { return to_upper(a) == to_upper(b); }

std::string decimal_separator()
{
    // Room for one character and its terminator: a longer separator makes
    // the call fail, and "." stands in.
    char buffer[2] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer) == 0 || buffer[0] == '\0')
        return ".";
    return std::string(1, buffer[0]);
}

// Windows follows the system's settings.
void set_code_page_for_tests(int) {}
void set_decimal_separator_for_tests(const std::string&) {}

}  // namespace kivo::platform
