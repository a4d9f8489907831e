#include "platform/critical_section.h"

#include <windows.h>

namespace kivo::platform {

struct CriticalSection::Impl {
    CRITICAL_SECTION cs;
};

CriticalSection::CriticalSection() : impl_(std::make_unique<Impl>()) { InitializeCriticalSection(&impl_->cs); }
CriticalSection::~CriticalSection() { DeleteCriticalSection(&impl_->cs); }
void CriticalSection::enter() { EnterCriticalSection(&impl_->cs); }
void CriticalSection::leave() { LeaveCriticalSection(&impl_->cs); }

}  // namespace kivo::platform
