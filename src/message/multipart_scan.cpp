#include "message/message.h"

// The walk over a multipart body; it only looks for attachment parts and
// changes no text field.
namespace kivo {

void Message::scan_multipart(const Lines& lines, std::size_t begin, std::size_t end, const MimePart& enclosing,
                             int depth)
{
    // Copies: adding sub-parts below must not disturb what we compare with.
    const std::string delimiter = enclosing.delimiter;
    const std::string close_delimiter = enclosing.close_delimiter;
    if (delimiter.empty() || close_delimiter.empty())
        return;
    auto ends_part = [&](std::size_t i) { return lines[i] == delimiter || lines[i] == close_delimiter; };

    std::size_t pos = begin;
    while (pos < end) {
        while (pos < end && lines[pos] != delimiter)
            ++pos;
        if (pos >= end)
            return;
        ++pos;

        MimePart& part = sub_parts_.emplace_back();
        PartHeadersFound found;
        std::string logical;
        while (pos < end && !ends_part(pos)) {
            if (lines[pos].empty()) {
                ++pos;
                break;
            }
            pos = unfold_header_line(lines, pos, end, logical);
            extract_part_header(logical, part, found);
        }

        if (!part.delimiter.empty() && !part.close_delimiter.empty() && depth + 1 < kMaxMultipartDepth) {
            std::size_t nested_end = pos;
            while (nested_end < end && lines[nested_end] != part.close_delimiter)
                ++nested_end;
            scan_multipart(lines, pos, nested_end, part, depth + 1);
            continue;  // the nested lines are passed over while looking for our next delimiter
        }
        while (pos < end && !ends_part(pos))
            ++pos;
    }
}

}  // namespace kivo
