#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kivo {

// The bytes of the reply being read. Its capacity starts at 8192 bytes and
// grows by 1024 whenever one reply fills it up; it never shrinks, so one
// large reply enlarges it for the life of the account.
//
// When commands are pipelined, one receive may bring the start of the
// following replies too: cut() can keep those bytes, and next_reply() makes
// them the start of the next reply. They stay where they are until the
// consumed bytes in front of them are at least as many as the kept ones (or
// the buffer is full), so a stream of answers is moved about once, not once
// per answer, and the capacity follows the largest reply, not the stream.
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
    std::size_t size() const { return size_ - begin_; }
    // The reply: every byte received, or after cut() the reply alone.
    std::string_view text() const { return {storage_.data() + begin_, visible_ - begin_}; }

    // Forgets every byte, a kept rest too; the capacity stays.
    void clear()
    {
        begin_ = size_ = visible_ = rest_ = 0;
        stream_ = false;
    }
    // Drops the cut reply and keeps the bytes that followed it.
    void next_reply();
    // The free part that the next receive may fill.
    char* free_space() { return storage_.data() + size_; }
    std::size_t free_size() const { return capacity_ - size_; }
    // Counts bytes written into the free part. When that fills the buffer,
    // a single reply grows it at once; in a stream of answers the bytes
    // already handed on make room first, and the growth waits for
    // make_room(), when the reply is known not to have ended in it.
    // False when it would pass the maximum.
    bool commit(std::size_t count);
    // Room for the next receive, called when the reply has not ended in the
    // bytes so far. False when the buffer would pass the maximum.
    bool make_room();
    // Ends the reply at `offset`; the bytes from there on are dropped.
    void cut(std::size_t offset) { cut(offset, size()); }
    // Ends the reply at `offset`; the bytes from `rest` on are kept for
    // next_reply().
    void cut(std::size_t offset, std::size_t rest);

private:
    void move_to_front();
    bool grow();

    std::vector<char> storage_;  // may be larger than capacity_: grown geometrically underneath
    std::size_t capacity_ = kInitialCapacity;
    // Offsets into storage_: begin_ <= visible_ <= rest_ <= size_ <= capacity_.
    std::size_t begin_ = 0;    // start of text()
    std::size_t size_ = 0;     // end of the bytes received
    std::size_t visible_ = 0;  // end of text()
    std::size_t rest_ = 0;     // start of the bytes kept after the cut reply
    bool stream_ = false;      // next_reply() since the last clear(): answers follow each other
};

}  // namespace kivo
