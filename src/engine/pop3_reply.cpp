#include "engine/pop3_reply.h"

#include <limits>

#include "engine/md5.h"

namespace kivo {
namespace {

constexpr std::string_view kCrlf = "\r\n";
constexpr std::string_view kTerminator = "\r\n.\r\n";

// Reads an optionally signed decimal number after blanks and tabs, as
// "%d" would, but refuses values out of range instead of overflowing.
bool read_int(std::string_view text, std::size_t& pos, std::int64_t& value)
{
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    std::size_t start = pos;
    std::int64_t n = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        n = n * 10 + (text[pos] - '0');
        if (n > std::numeric_limits<std::int32_t>::max())
            return false;
        ++pos;
    }
    if (pos == start)
        return false;
    value = negative ? -n : n;
    return true;
}

}  // namespace

std::size_t find_reply_end(std::string_view received, bool multiline, std::size_t checked)
{
    // A terminator that ends in the new bytes starts at most its length - 1 before them.
    std::size_t line_from = checked >= kCrlf.size() ? checked - (kCrlf.size() - 1) : 0;
    if (!multiline)
        return received.find(kCrlf, line_from);
    constexpr std::string_view kOk = "+OK";
    if (received.size() < kOk.size() && kOk.substr(0, received.size()) == received)
        return std::string_view::npos;  // may still become "+OK"
    if (received.substr(0, kOk.size()) != kOk)
        return received.find(kCrlf, line_from);
    std::size_t from = checked >= kTerminator.size() ? checked - (kTerminator.size() - 1) : 0;
    return received.find(kTerminator, from);
}

std::size_t reply_terminator_size(std::string_view received, bool multiline)
{
    return multiline && received.substr(0, 3) == "+OK" ? kTerminator.size() : kCrlf.size();
}

bool capa_lists(std::string_view reply, std::string_view tag)
{
    if (reply.substr(0, 3) != "+OK" || tag.empty())
        return false;
    for (const std::string& line : split_reply_lines(reply)) {
        if (line.size() < tag.size() ||
            (line.size() > tag.size() && line[tag.size()] != ' ' && line[tag.size()] != '\t'))
            continue;
        bool same = true;
        for (std::size_t i = 0; i < tag.size() && same; ++i)
            same = (line[i] >= 'a' && line[i] <= 'z' ? line[i] - 'a' + 'A' : line[i]) == tag[i];
        if (same)
            return true;
    }
    return false;
}

bool capa_lists_pipelining(std::string_view reply) { return capa_lists(reply, "PIPELINING"); }

std::string get_timestamp(std::string_view greeting)
{
    std::size_t open = greeting.find('<');
    std::size_t close = greeting.find('>');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return {};
    return std::string(greeting.substr(open, close - open + 1));
}

std::string make_apop_digest(std::string_view timestamp, std::string_view password)
{
    std::string text(timestamp);
    text.append(password);
    return md5_hex(text);
}

std::vector<ListEntry> parse_list_reply(std::string_view reply)
{
    std::vector<ListEntry> entries;
    std::size_t pos = reply.find(kCrlf);
    while (pos != std::string_view::npos) {
        std::size_t start = pos + kCrlf.size();
        std::size_t end = reply.find(kCrlf, start);
        std::string_view line = reply.substr(start, end == std::string_view::npos ? end : end - start);
        pos = end;

        std::size_t at = 0;
        std::int64_t number = -1;
        std::int64_t size = -1;
        if (!read_int(line, at, number) || number < 1)
            continue;
        if (!read_int(line, at, size))
            size = -1;
        entries.push_back({static_cast<int>(number), static_cast<std::int32_t>(size)});
    }
    return entries;
}

std::vector<std::string> split_reply_lines(std::string_view reply)
{
    std::vector<std::string> lines;
    split_reply_lines(reply, lines);
    return lines;
}

void split_reply_lines(std::string_view reply, std::vector<std::string>& lines)
{
    // The texts already in `lines` are overwritten in place: one reply after
    // another, their storage is reused instead of allocated per line.
    std::size_t count = 0;
    std::size_t pos = reply.find(kCrlf);
    while (pos != std::string_view::npos) {
        std::size_t start = pos + kCrlf.size();
        std::size_t end = reply.find(kCrlf, start);
        std::string_view line = reply.substr(start, end == std::string_view::npos ? end : end - start);
        if (line.size() >= 2 && line[0] == '.' && line[1] == '.')
            line.remove_prefix(1);
        if (count < lines.size())
            lines[count].assign(line);
        else
            lines.emplace_back(line);
        ++count;
        pos = end;
    }
    lines.resize(count);
}

bool has_line_break(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace kivo
