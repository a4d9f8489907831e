#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kivo {

// The bytes of the reply being read. Its capacity starts at 8192 bytes and
// grows by 1024 whenever it fills up; it never shrinks, so one large reply
// enlarges it for the life of the account.
//
// When commands are pipelined, one receive may bring the start of the
// following replies too: cut() can keep those bytes, and next_reply() moves
// them to the front so the next read starts with them.
class ReceiveBuffer {
public:
    static constexpr std::size_t kInitialCapacity = 8192;
    static constexpr std::size_t kGrowth = 1024;
    // A reply can not grow past this; a server that never ends its reply
    // must not take all the memory.
    static constexpr std::size_t kMaxCapacity = std::size_t{64} << 20;

    ReceiveBuffer();

    std::size_t capacity() const { return capacity_; }
    // Bytes received and not yet handed on, the kept rest included.
    std::size_t size() const { return size_; }
    // The reply: every byte received, or after cut() the reply alone.
    std::string_view text() const { return {storage_.data(), visible_}; }

    // Forgets every byte, a kept rest too; the capacity stays.
    void clear() { size_ = visible_ = rest_ = 0; }
    // Drops the cut reply and keeps the bytes that followed it.
    void next_reply();
    // The free part that the next receive may fill.
    char* free_space() { return storage_.data() + size_; }
    std::size_t free_size() const { return capacity_ - size_; }
    // Counts bytes written into the free part; grows the capacity when it is
    // full. False when it would pass the maximum.
    bool commit(std::size_t count);
    // Ends the reply at `offset`; the bytes from there on are dropped.
    void cut(std::size_t offset) { cut(offset, size_); }
    // Ends the reply at `offset`; the bytes from `rest` on are kept for
    // next_reply().
    void cut(std::size_t offset, std::size_t rest);

private:
    std::vector<char> storage_;  // may be larger than capacity_: grown geometrically underneath
    std::size_t capacity_ = kInitialCapacity;
    std::size_t size_ = 0;
    std::size_t visible_ = 0;  // end of text()
    std::size_t rest_ = 0;     // start of the bytes kept after the cut reply
};

}  // namespace kivo
