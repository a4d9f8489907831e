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
    rest_ = std::min(rest, size_);
    visible_ = std::min(offset, rest_);
}

void ReceiveBuffer::next_reply()
{
    std::size_t kept = size_ - rest_;
    if (kept > 0 && rest_ > 0)
        std::memmove(storage_.data(), storage_.data() + rest_, kept);
    size_ = visible_ = rest_ = kept;
}

}  // namespace kivo
