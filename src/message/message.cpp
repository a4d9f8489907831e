#include "message/message.h"

#include <climits>

#include "log/log.h"
#include "message/ascii_case.h"
#include "message/crc32.h"
#include "message/default_text.h"
#include "message/format_size.h"
#include "message/mime_decode.h"
#include "platform/text.h"

namespace kivo {

namespace {

enum Header { kFrom, kSubject, kDate, kTo, kCc, kBcc, kMessageId, kXPriority, kContentDisposition, kContentType,
              kHeaderCount };

constexpr std::string_view kHeaderNames[kHeaderCount] = {
    "From:", "Subject:", "Date:", "To:", "Cc:", "Bcc:", "Message-ID:", "X-Priority:", "Content-Disposition:",
    "Content-Type:",
};

// The names upper-cased with the code page's folding, as the lines will be.
const std::vector<std::string>& upper_header_names()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v;
        for (std::string_view name : kHeaderNames)
            v.push_back(platform::to_upper(name));
        return v;
    }();
    return names;
}

// Only the first bytes of a line can match a name; upper-casing just those
// keeps long header lines cheap.
std::string upper_prefix(const std::string& line)
{
    constexpr std::size_t kLongestName = 20;  // "Content-Disposition:"
    return platform::to_upper(std::string_view(line).substr(0, kLongestName));
}

bool starts_with_name(const std::string& upper_line, int header)
{
    const std::string& name = upper_header_names()[static_cast<std::size_t>(header)];
    return !name.empty() && upper_line.compare(0, name.size(), name) == 0;
}

// The decoded value after the header's name.
std::string decoded_value(const std::string& logical, int header)
{
    std::string decoded;
    mime_decode(logical.substr(kHeaderNames[header].size()), decoded);
    return decoded;
}

// Leading white space, a sign and decimal digits; 0 without digits. Huge
// numbers saturate instead of overflowing.
std::int32_t read_priority(std::string_view text)
{
    text = trim_left(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    return static_cast<std::int32_t>(value);
}

}  // namespace

bool Message::has_from() const { return found_[kFrom]; }
bool Message::has_subject() const { return found_[kSubject]; }

Message::Message(const Lines& lines, std::int32_t size) : size_(size)
{
    try {
        const std::string& none = none_text();
        from_ = subject_ = date_ = to_ = message_id_ = size_text_ = none;

        std::size_t body = scan_header(lines);
        if (equal_ascii_no_case(part_.type, "multipart") && !part_.delimiter.empty() &&
            !part_.close_delimiter.empty())
            scan_multipart(lines, body, lines.size(), part_, 0);

        std::size_t body_bytes = 0;
        for (std::size_t i = body; i < lines.size(); ++i)
            body_bytes += lines[i].size() + 2;
        body_text_.reserve(body_bytes);
        for (std::size_t i = body; i < lines.size(); ++i) {
            body_text_ += lines[i];
            body_text_ += "\r\n";
        }
    } catch (...) {
        app_log().write_line("Error in Message::Message.\n");
    }
    // Size text and key are still given to a record cut short, so it has an
    // identity like any other.
    try {
        size_text_ = format_size(size_);
        compute_key();
    } catch (...) {
        app_log().write_line("Error in Message::Message.\n");
    }
}

std::size_t Message::scan_header(const Lines& lines)
{
    std::size_t i = 0;
    std::string logical;
    while (i < lines.size()) {
        if (lines[i].empty())
            return i + 1;  // the separator belongs to neither header nor body
        bool leading_fold = i == 0 && is_continuation_line(lines[0]);
        i = unfold_header_line(lines, i, lines.size(), logical);
        // Nothing before it to continue: a logical line of its own, kept
        // with the line break it would have followed.
        if (leading_fold)
            logical.insert(0, "\r\n");
        extract_header_value(logical);
        header_text_ += logical;
        header_text_ += "\r\n";
    }
    return i;
}

void Message::extract_header_value(const std::string& logical)
{
    if (logical.empty())
        return;
    const std::string prefix = upper_prefix(logical);
    for (int h = 0; h < kHeaderCount; ++h) {
        if (found_[h] || !starts_with_name(prefix, h))
            continue;
        found_[h] = true;
        std::string decoded = decoded_value(logical, h);
        switch (h) {
        case kFrom: from_ = std::move(decoded); break;
        case kSubject: subject_ = std::move(decoded); break;
        case kDate: date_ = std::move(decoded); break;
        case kTo: to_ = std::move(decoded); break;
        case kCc: cc_ = std::move(decoded); break;
        case kBcc: bcc_ = std::move(decoded); break;
        case kMessageId: message_id_ = std::move(decoded); break;
        case kXPriority: priority_ = read_priority(decoded); break;
        case kContentDisposition: take_disposition(decoded, part_); break;
        case kContentType: take_type(decoded, part_); break;
        default: break;
        }
    }
}

void Message::take_disposition(std::string_view value, MimePart& part)
{
    parse_content_disposition(std::string(trim_left(value)), part);
    // Disposition types are case-insensitive (RFC 2183).
    if (!equal_ascii_no_case(part.disposition, "attachment"))
        return;
    has_attachment_ = true;
    auto name = part.disposition_parameters.find("filename");
    if (name != part.disposition_parameters.end() && !name->second.empty())
        attachment_names_.push_back(name->second);
}

void Message::take_type(std::string_view value, MimePart& part)
{
    parse_content_type(std::string(trim_left(value)), part);
}

void Message::extract_part_header(const std::string& logical, MimePart& part, PartHeadersFound& found)
{
    if (logical.empty())
        return;
    const std::string prefix = upper_prefix(logical);
    if (!found.disposition && starts_with_name(prefix, kContentDisposition)) {
        found.disposition = true;
        take_disposition(decoded_value(logical, kContentDisposition), part);
    }
    if (!found.type && starts_with_name(prefix, kContentType)) {
        found.type = true;
        take_type(decoded_value(logical, kContentType), part);
    }
}

void Message::compute_key()
{
    // Without a usable Message-ID the visible fields stand in. A blank ID
    // counts as none: otherwise every such message would share one key and
    // inherit another's seen and deleted marks.
    if (message_id_ == none_text() || trim(message_id_).empty()) {
        std::uint32_t crc = crc32(from_);
        crc = crc32(subject_, crc);
        crc = crc32(date_, crc);
        key_ = crc32(size_text_, crc);
    } else {
        key_ = crc32(message_id_);
    }
}

}  // namespace kivo
