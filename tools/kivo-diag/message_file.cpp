#include "message_file.h"

#include <fstream>
#include <iterator>

namespace kivo::diag {

bool read_file(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

Lines split_message_lines(const std::string& bytes)
{
    Lines lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));  // last line without a line end
            break;
        }
        std::size_t cut = end > start && bytes[end - 1] == '\r' ? end - 1 : end;
        lines.push_back(bytes.substr(start, cut - start));
        start = end + 1;
    }
    return lines;
}

Lines top_lines(const Lines& lines, std::size_t body_lines)
{
    std::size_t header_end = 0;
    while (header_end < lines.size() && !lines[header_end].empty())
        ++header_end;
    if (header_end == lines.size())
        return lines;  // no body at all
    const std::size_t body_start = header_end + 1;
    const std::size_t available = lines.size() - body_start;
    const std::size_t keep = body_start + (body_lines < available ? body_lines : available);
    return Lines(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(keep));
}

}  // namespace kivo::diag
