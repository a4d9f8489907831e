#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace kivo {

// Little-endian output into a byte buffer that becomes a file.
class ByteSink {
public:
    void put_u32(std::uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            bytes_.push_back(static_cast<char>(value >> (8 * i)));
    }
    void put_i32(std::int32_t value) { put_u32(static_cast<std::uint32_t>(value)); }
    void put_bytes(std::string_view bytes) { bytes_.append(bytes); }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// Little-endian input from bytes held elsewhere; a read past the end fails.
class ByteSource {
public:
    explicit ByteSource(std::string_view bytes) : bytes_(bytes) {}

    bool get_u32(std::uint32_t& value)
    {
        if (remaining() < 4)
            return false;
        value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[pos_ + i])) << (8 * i);
        pos_ += 4;
        return true;
    }
    bool get_i32(std::int32_t& value)
    {
        std::uint32_t raw = 0;
        if (!get_u32(raw))
            return false;
        value = static_cast<std::int32_t>(raw);
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
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

}  // namespace kivo
