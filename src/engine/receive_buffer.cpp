#include "engine/receive_buffer.h"

#include <algorithm>
#include <cstring>

namespace kivo {

ReceiveBuffer::ReceiveBuffer() : storage_(kInitialCapacity) {}

bool ReceiveBuffer::commit(std::size_t count)
{
    size_ += count < free_size() ? count : free_size();
    visible_ = rest_ = size_;
    if (size_ < capacity_)
        return true;
    // Full: answers already handed on make room first. The bytes may hold
    // the end of this reply and the start of the next ones, so a stream
    // grows the buffer only when the reply turns out not to fit.
    if (begin_ > 0) {
        move_to_front();
        return true;
    }
    return stream_ || grow();
}

bool ReceiveBuffer::make_room()
{
    if (free_size() > 0)
        return true;
    if (begin_ > 0) {
        move_to_front();
        return true;
    }
    return grow();
}

bool ReceiveBuffer::grow()
{
    if (capacity_ + kGrowth > kMaxCapacity)
        return false;
    capacity_ += kGrowth;
    // The visible capacity grows in steps of 1024; the storage under it grows
    // by doubling, so a reply of megabytes is not copied a thousand times.
    if (storage_.size() < capacity_)
        storage_.resize(std::max(capacity_, storage_.size() * 2));
    return true;
}

void ReceiveBuffer::cut(std::size_t offset, std::size_t rest)
{
    rest_ = begin_ + std::min(rest, size());
    visible_ = begin_ + std::min(offset, rest_ - begin_);
}

void ReceiveBuffer::next_reply()
{
    stream_ = true;
    begin_ = rest_;
    visible_ = rest_ = size_;
    if (begin_ == size_) {
        begin_ = size_ = visible_ = rest_ = 0;
        return;
    }
    // Moving no more than was consumed since the last move keeps the
    // copying in proportion to the bytes received.
    if (begin_ >= size_ - begin_)
        move_to_front();
}

void ReceiveBuffer::move_to_front()
{
    std::size_t kept = size_ - begin_;
    std::memmove(storage_.data(), storage_.data() + begin_, kept);
    visible_ -= begin_;
    rest_ -= begin_;
    size_ = kept;
    begin_ = 0;
}

}  // namespace kivo
