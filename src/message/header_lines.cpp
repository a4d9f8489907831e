#include "message/header_lines.h"

namespace kivo {

bool is_continuation_line(const std::string& line)
{
    return !line.empty() && (line[0] == ' ' || line[0] == '\t');
}

bool is_header_space(char c) { return c == ' ' || c == '\t' || (c >= 10 && c <= 13); }

std::string_view trim_left(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && is_header_space(text[i]))
        ++i;
    return text.substr(i);
}

std::string_view trim(std::string_view text)
{
    text = trim_left(text);
    std::size_t n = text.size();
    while (n > 0 && is_header_space(text[n - 1]))
        --n;
    return text.substr(0, n);
}

std::size_t unfold_header_line(const Lines& lines, std::size_t first, std::size_t end, std::string& logical)
{
    logical = lines[first];
    std::size_t i = first + 1;
    for (; i < end && is_continuation_line(lines[i]); ++i) {
        // The fold's white space becomes one blank, so the words on either
        // side stay apart; a continuation line of only white space adds
        // nothing.
        std::string_view rest = trim_left(lines[i]);
        if (rest.empty())
            continue;
        logical += ' ';
        logical += rest;
    }
    return i;
}

}  // namespace kivo
