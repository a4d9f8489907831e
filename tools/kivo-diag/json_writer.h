#pragma once
#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>
#include <string>

namespace kivo::diag {

// Writes one flat JSON object. Texts are byte strings: each byte b becomes
// the character U+00bb, so reading the strings as Latin-1 gives the bytes
// back whatever code page they were in. The output is plain ASCII.
class JsonObjectWriter {
public:
    explicit JsonObjectWriter(std::ostream& out);
    ~JsonObjectWriter();  // closes the object

    JsonObjectWriter(const JsonObjectWriter&) = delete;
    JsonObjectWriter& operator=(const JsonObjectWriter&) = delete;

    void text(std::string_view key, std::string_view bytes);
    void number(std::string_view key, std::int64_t value);
    void boolean(std::string_view key, bool value);
    void text_list(std::string_view key, const std::vector<std::string>& items);
    // A value already written as JSON (a nested object or list).
    void raw(std::string_view key, std::string_view json);

private:
    void write_key(std::string_view key);
    void write_string(std::string_view bytes);

    std::ostream& out_;
    bool first_ = true;
};

}  // namespace kivo::diag
