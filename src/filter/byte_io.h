#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kivo::filter {

// Little-endian writer into a byte buffer; the buffer becomes the file.
class ByteWriter {
public:
    void put_u8(std::uint8_t value) { bytes_.push_back(static_cast<char>(value)); }
    void put_u32(std::uint32_t value);
    void put_i32(std::int32_t value) { put_u32(static_cast<std::uint32_t>(value)); }
    void put_bytes(std::string_view bytes) { bytes_.append(bytes); }

    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// Little-endian reader over bytes held elsewhere. A read past the end fails
// and leaves the position where it was.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

    bool get_u8(std::uint8_t& value);
    bool get_u32(std::uint32_t& value);
    bool get_i32(std::int32_t& value);
    bool get_bytes(std::size_t count, std::string_view& out);

    std::size_t remaining() const { return bytes_.size() - pos_; }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

}  // namespace kivo::filter
