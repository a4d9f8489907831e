#include "appcore/pane_texts.h"

#include "message_ids.h"
#include "platform/message_text.h"
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
    const std::uint64_t bytes = bytes_signed < 0 ? 0 : static_cast<std::uint64_t>(bytes_signed);
    std::uint64_t unit = 0;
    std::uint32_t text_id = MSG_SIZE_BYTES;
    if (bytes >= (1ull << 30)) {
        unit = 1ull << 30;
        text_id = MSG_SIZE_GB;
    } else if (bytes >= (1ull << 20)) {
        unit = 1ull << 20;
        text_id = MSG_SIZE_MB;
    } else if (bytes >= 1024) {
        unit = 1024;
        text_id = MSG_SIZE_KB;
    }
    std::string number;
    if (unit == 0) {
        number = std::to_string(bytes);
    } else {
        int decimals = bytes < 10 * unit ? 2 : bytes < 100 * unit ? 1 : 0;
        // Divide first when scaling could overflow (above about 1.8e17 bytes
        // no decimals are shown anyway).
        std::uint64_t scale = decimals == 2 ? 100 : decimals == 1 ? 10 : 1;
        const std::string digits = std::to_string(decimals == 0 ? bytes / unit : bytes * scale / unit);
        if (decimals > 0) {
            const std::size_t whole = digits.size() - static_cast<std::size_t>(decimals);
            number = digits.substr(0, whole);
            number += decimal_separator.size() == 1 ? decimal_separator : std::string(".");
            number += digits.substr(whole);
        } else {
            number = digits;
        }
    }
    return platform::message_text(text_id, {number});
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
