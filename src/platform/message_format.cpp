#include "platform/message_format.h"
#include "platform/message_text.h"

namespace kivo::platform {

void trim_line_end(std::string& text)
{
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
}

std::string expand_message(std::string_view pattern, const std::vector<std::string>& inserts)
{
    std::string out;
    if (inserts.empty()) {
        // Looked up without inserts: the pattern stays as it is stored.
        out.assign(pattern);
        trim_line_end(out);
        return out;
    }
    out.reserve(pattern.size());
    std::size_t i = 0;
    while (i < pattern.size()) {
        char c = pattern[i];
        if (c != '%' || i + 1 >= pattern.size()) {
            out += c;
            ++i;
            continue;
        }
        char next = pattern[i + 1];
        if (next == '0')
            return out;  // %0: the text ends here, without a line break
        if (next >= '1' && next <= '9') {
            std::size_t j = i + 1;
            int number = 0;
            while (j < pattern.size() && j < i + 3 && pattern[j] >= '0' && pattern[j] <= '9')
                number = number * 10 + (pattern[j++] - '0');
            // An optional printf-style type such as !s! follows the number.
            std::size_t after = j;
            if (after < pattern.size() && pattern[after] == '!') {
                std::size_t close = pattern.find('!', after + 1);
                if (close != std::string_view::npos)
                    after = close + 1;
            }
            if (number >= 1 && static_cast<std::size_t>(number) <= inserts.size())
                out += inserts[static_cast<std::size_t>(number) - 1];
            i = after;
            continue;
        }
        if (next == 'n')
            out += "\r\n";
        else if (next == 'r')
            out += '\r';
        else if (next == 't')
            out += '\t';
        else
            out += next;  // %%, %., %!, %space
        i += 2;
    }
    trim_line_end(out);
    return out;
}

// The same for every platform: only the look-up differs.
std::string message_text(std::uint32_t id, const std::vector<std::string>& inserts)
{
    std::string text;
    find_message_text(id, text, inserts);
    return text;
}

}  // namespace kivo::platform
