#include "arguments.h"

namespace kivo::diag {

bool parse_number(const std::string& text, std::int64_t min, std::int64_t max, std::int64_t& value)
{
    if (text.empty() || text.size() > 18)
        return false;
    std::size_t i = 0;
    bool negative = text[0] == '-';
    if (negative && text.size() == 1)
        return false;
    std::int64_t v = 0;
    for (i = negative ? 1 : 0; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        v = v * 10 + (text[i] - '0');
    }
    if (negative)
        v = -v;
    if (v < min || v > max)
        return false;
    value = v;
    return true;
}

}  // namespace kivo::diag
