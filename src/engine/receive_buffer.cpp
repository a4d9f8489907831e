#include "engine/receive_buffer.h"

#include <algorithm>

namespace kivo {

ReceiveBuffer::ReceiveBuffer() : storage_(kInitialCapacity) {}

bool ReceiveBuffer::commit(std::size_t count)
{
    size_ += count < free_size() ? count : free_size();
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

void ReceiveBuffer::cut(std::size_t offset)
{
    if (offset < size_)
        size_ = offset;
}

}  // namespace kivo
