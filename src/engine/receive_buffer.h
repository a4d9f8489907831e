#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kivo {

// The bytes of the reply being read. Its capacity starts at 8192 bytes and
// grows by 1024 whenever it fills up; it never shrinks, so one large reply
// enlarges it for the life of the account.
class ReceiveBuffer {
public:
    static constexpr std::size_t kInitialCapacity = 8192;
    static constexpr std::size_t kGrowth = 1024;
    // A reply can not grow past this; a server that never ends its reply
    // must not take all the memory.
    static constexpr std::size_t kMaxCapacity = std::size_t{64} << 20;

    ReceiveBuffer();

    std::size_t capacity() const { return capacity_; }
    std::size_t size() const { return size_; }
    std::string_view text() const { return {storage_.data(), size_}; }

    // Forgets the bytes; the capacity stays.
    void clear() { size_ = 0; }
    // The free part that the next receive may fill.
    char* free_space() { return storage_.data() + size_; }
    std::size_t free_size() const { return capacity_ - size_; }
    // Counts bytes written into the free part; grows the capacity when it is
    // full. False when it would pass the maximum.
    bool commit(std::size_t count);
    // Drops everything from `offset` on.
    void cut(std::size_t offset);

private:
    std::vector<char> storage_;  // may be larger than capacity_: grown geometrically underneath
    std::size_t capacity_ = kInitialCapacity;
    std::size_t size_ = 0;
};

}  // namespace kivo
