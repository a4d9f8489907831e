#include "platform/critical_section.h"

#include <mutex>

namespace kivo::platform {

struct CriticalSection::Impl {
    std::recursive_mutex mutex;  // a critical section may be entered again by its owner
};

CriticalSection::CriticalSection() : impl_(std::make_unique<Impl>()) {}
CriticalSection::~CriticalSection() = default;
void CriticalSection::enter() { impl_->mutex.lock(); }
void CriticalSection::leave() { impl_->mutex.unlock(); }

}  // namespace kivo::platform
