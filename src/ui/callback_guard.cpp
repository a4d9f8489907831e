#include "ui/callback_guard.h"

namespace kivo::ui {
namespace {
thread_local std::exception_ptr parked;
}

void park_exception(std::exception_ptr error) noexcept
{
    if (!parked)
        parked = std::move(error);
}

void rethrow_parked_exception()
{
    if (parked) {
        std::exception_ptr error = std::move(parked);
        parked = nullptr;
        std::rethrow_exception(error);
    }
}

bool has_parked_exception() noexcept
{
    return static_cast<bool>(parked);
}

}  // namespace kivo::ui
