#include "platform/text.h"

#include <array>
#include <atomic>
#include <cstdlib>
#include <mutex>

// The native build stands in for the ANSI code page with Windows-1252 or
// Windows-1251 (both single-byte), so tests can exercise either folding.
namespace kivo::platform {

namespace {

using CaseTable = std::array<unsigned char, 256>;

struct CasePair {
    unsigned char upper;
    unsigned char lower;
};

// Letters outside ASCII that have both cases within the code page.
constexpr CasePair kPairs1252[] = {
    {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8E, 0x9E}, {0x9F, 0xFF},
};

constexpr CasePair kPairs1251[] = {
    {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E},
    {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA},
    {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE},
};

template <std::size_t N>
constexpr CaseTable make_table(bool to_upper, const CasePair (&pairs)[N], bool latin1_block)
{
    CaseTable t{};
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<unsigned char>(i);
    auto set = [&](int upper, int lower) {
        if (to_upper)
            t[lower] = static_cast<unsigned char>(upper);
        else
            t[upper] = static_cast<unsigned char>(lower);
    };
    for (int c = 'A'; c <= 'Z'; ++c)
        set(c, c + 32);
    // 0xC0..0xDF pair with 0xE0..0xFF in both code pages; in 1252 the
    // multiplication and division signs sit at 0xD7/0xF7 and ß has no capital.
    for (int c = 0xC0; c <= 0xDF; ++c) {
        if (latin1_block && (c == 0xD7 || c == 0xDF))
            continue;
        set(c, c + 32);
    }
    for (const CasePair& p : pairs)
        set(p.upper, p.lower);
    return t;
}

constexpr CaseTable kUpper1252 = make_table(true, kPairs1252, true);
constexpr CaseTable kLower1252 = make_table(false, kPairs1252, true);
constexpr CaseTable kUpper1251 = make_table(true, kPairs1251, false);
constexpr CaseTable kLower1251 = make_table(false, kPairs1251, false);

std::atomic<int> g_code_page{1252};

std::mutex g_separator_lock;
std::string g_separator = ".";

std::string map(std::string_view text, const CaseTable& table)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(table[static_cast<unsigned char>(c)]);
    return out;
}

}  // namespace

std::string expand_environment(std::string_view text)
{
    std::string out;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t open = text.find('%', at);
        std::size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
        if (close == std::string_view::npos) {
            out.append(text.substr(at));
            break;
        }
        out.append(text.substr(at, open - at));
        std::string variable(text.substr(open + 1, close - open - 1));
        const char* found = variable.empty() ? nullptr : std::getenv(variable.c_str());
        if (found) {
            out += found;
            at = close + 1;
        } else {
            out.append(text.substr(open, close - open));  // keep "%NAME", look again from the second '%'
            at = close;
        }
    }
    return out;
}

std::string cut_text(std::string_view text, std::size_t limit)
{
    return std::string(text.substr(0, limit));
}

std::string to_upper(std::string_view text)
{
    return map(text, g_code_page.load() == 1251 ? kUpper1251 : kUpper1252);
}

std::string to_lower(std::string_view text)
{
    return map(text, g_code_page.load() == 1251 ? kLower1251 : kLower1252);
}

bool equal_no_case(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && to_upper(a) == to_upper(b);
}

std::string decimal_separator()
{
    std::lock_guard<std::mutex> guard(g_separator_lock);
    return g_separator;
}

void set_code_page_for_tests(int code_page)
{
    g_code_page.store(code_page == 1251 ? 1251 : 1252);
}

void set_decimal_separator_for_tests(const std::string& separator)
{
    // Same rule as the Windows side: room for one character, else ".".
    std::lock_guard<std::mutex> guard(g_separator_lock);
    g_separator = separator.size() == 1 ? separator : ".";
}

}  // namespace kivo::platform
