#include "ui/timer.h"

#include <system_error>

namespace kivo::ui {

void Timer::start(HWND window, UINT_PTR id, UINT period_ms)
{
    if (running() && (window != window_ || id != id_))
        stop();
    if (!SetTimer(window, id, period_ms, nullptr)) {
        window_ = nullptr;
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "SetTimer");
    }
    window_ = window;
    id_ = id;
}

void Timer::stop()
{
    if (window_) {
        // A window destroyed first took its timers with it; the call then
        // fails harmlessly.
        KillTimer(window_, id_);
        window_ = nullptr;
    }
}

}  // namespace kivo::ui
