#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kivo::platform {

// Little-endian writer into a byte buffer; the buffer becomes a file
// (kivo.dat, the filter lists).
class ByteWriter {
public:
    void put_u8(std::uint8_t value) { bytes_.push_back(static_cast<char>(value)); }
    void put_u16(std::uint16_t value)
    {
        put_u8(static_cast<std::uint8_t>(value & 0xFFu));
        put_u8(static_cast<std::uint8_t>(value >> 8));
    }
    void put_u32(std::uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            put_u8(static_cast<std::uint8_t>((value >> shift) & 0xFFu));
    }
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

    bool get_u8(std::uint8_t& value)
    {
        if (remaining() < 1)
            return false;
        value = byte_at(pos_++);
        return true;
    }
    bool get_u32(std::uint32_t& value)
    {
        if (remaining() < 4)
            return false;
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<std::uint32_t>(byte_at(pos_ + static_cast<std::size_t>(i))) << (8 * i);
        pos_ += 4;
        value = v;
        return true;
    }
    bool get_i32(std::int32_t& value)
    {
        std::uint32_t v = 0;
        if (!get_u32(v))
            return false;
        value = static_cast<std::int32_t>(v);
        return true;
    }
    bool get_bytes(std::size_t count, std::string_view& out)
    {
        if (remaining() < count)
            return false;
        out = bytes_.substr(pos_, count);
        pos_ += count;
        return true;
    }

    std::size_t remaining() const { return bytes_.size() - pos_; }

private:
    std::uint8_t byte_at(std::size_t i) const { return static_cast<std::uint8_t>(bytes_[i]); }

    std::string_view bytes_;
    std::size_t pos_ = 0;
};

}  // namespace kivo::platform
