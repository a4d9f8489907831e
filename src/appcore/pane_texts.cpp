#include "appcore/pane_texts.h"

#include "message/format_size.h"
#include "platform/text.h"

namespace kivo {
namespace {

std::string before_angle(const std::string& text) { return text.substr(0, text.find('<')); }

}  // namespace

std::string preview_header_text(const std::string& from_title, const std::string& from,
                                const std::string& to_title, const std::string& to,
                                const std::string& subject_title, const std::string& subject)
{
    std::string out = from_title + ": ";
    if (!from.empty())
        out += before_angle(from) + " ";
    out += to_title + ": ";
    if (!to.empty())
        out += before_angle(to);
    // CR LF: the edit control that shows the text breaks the line only there.
    out += "\r\n";
    out += subject_title + ": ";
    out += subject;
    return out;
}

std::string mailbox_size_text(std::int64_t bytes_signed, const std::string& decimal_separator)
{
    return format_byte_count(bytes_signed < 0 ? 0 : static_cast<std::uint64_t>(bytes_signed), decimal_separator);
}

std::string mailbox_size_text(std::int64_t bytes) { return mailbox_size_text(bytes, platform::decimal_separator()); }

std::optional<int> parse_column_width(const std::string& text)
{
    std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return std::nullopt;
    std::size_t end = text.find_last_not_of(" \t") + 1;
    long long value = 0;
    for (std::size_t i = begin; i < end; ++i) {
        char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > kMaxColumnWidth)
            return std::nullopt;  // stops before any overflow, however long the text
    }
    if (value < kMinColumnWidth)
        return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace kivo
