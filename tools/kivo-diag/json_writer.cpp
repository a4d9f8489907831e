#include "json_writer.h"

#include <cstdio>

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
    out_ << '"';
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == '"' || b == '\\') {
            out_ << '\\' << ch;
        } else if (b < 0x20 || b >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(b));
            out_ << escape;
        } else {
            out_ << ch;
        }
    }
    out_ << '"';
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
