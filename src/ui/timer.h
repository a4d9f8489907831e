#pragma once
#include <windows.h>

namespace kivo::ui {

// A window timer (WM_TIMER to the window, wparam = id) that is killed when
// the object goes, so no tick outlives the code that handles it.
class Timer {
public:
    Timer() = default;
    ~Timer() { stop(); }
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    // Starts the timer, or restarts it with the new period (a timer already
    // running for another window or id is killed first). Throws
    // std::system_error when Windows refuses.
    void start(HWND window, UINT_PTR id, UINT period_ms);
    void stop();
    bool running() const { return window_ != nullptr; }
    UINT_PTR id() const { return id_; }
    HWND window() const { return window_; }

private:
    HWND window_ = nullptr;
    UINT_PTR id_ = 0;
};

}  // namespace kivo::ui
