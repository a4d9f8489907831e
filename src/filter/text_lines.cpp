#include "filter/text_lines.h"

namespace kivo::filter {

std::vector<std::string> split_text_lines(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        std::size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        std::string_view line = bytes.substr(pos, (end == std::string_view::npos ? bytes.size() : end) - pos);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        std::size_t nul = line.find('\0');
        if (nul != std::string_view::npos)
            line = line.substr(0, nul);
        lines.emplace_back(line);
        pos = next;
    }
    return lines;
}

}  // namespace kivo::filter
