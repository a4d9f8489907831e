#include "json_writer.h"

#include <string>

namespace kivo::diag {

JsonObjectWriter::JsonObjectWriter(std::ostream& out) : out_(out) { out_ << '{'; }

JsonObjectWriter::~JsonObjectWriter() { out_ << (first_ ? "}\n" : "\n}\n"); }

void JsonObjectWriter::write_key(std::string_view key)
{
    out_ << (first_ ? "\n  " : ",\n  ");
    first_ = false;
    write_string(key);
    out_ << ": ";
}

void JsonObjectWriter::write_string(std::string_view bytes)
{
    // Escaped into one string and written at once: a message of megabytes
    // would otherwise cost a stream call per byte.
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8 + 2);
    text += '"';
    std::size_t plain = 0;  // start of the run of bytes that need no escape
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b != '"' && b != '\\' && b >= 0x20 && b < 0x7F)
            continue;
        text.append(bytes.data() + plain, i - plain);
        plain = i + 1;
        if (b == '"' || b == '\\') {
            text += '\\';
            text += static_cast<char>(b);
        } else {
            const char escape[] = {'\\', 'u', '0', '0', kHex[b >> 4], kHex[b & 0xF]};
            text.append(escape, sizeof escape);
        }
    }
    text.append(bytes.data() + plain, bytes.size() - plain);
    text += '"';
    out_.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void JsonObjectWriter::text(std::string_view key, std::string_view bytes)
{
    write_key(key);
    write_string(bytes);
}

void JsonObjectWriter::number(std::string_view key, std::int64_t value)
{
    write_key(key);
    out_ << value;
}

void JsonObjectWriter::boolean(std::string_view key, bool value)
{
    write_key(key);
    out_ << (value ? "true" : "false");
}

void JsonObjectWriter::text_list(std::string_view key, const std::vector<std::string>& items)
{
    write_key(key);
    out_ << '[';
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out_ << ", ";
        write_string(items[i]);
    }
    out_ << ']';
}

void JsonObjectWriter::raw(std::string_view key, std::string_view json)
{
    write_key(key);
    out_ << json;
}

}  // namespace kivo::diag
