#pragma once
#include <windows.h>

namespace kivo::ui {

// Moves several child windows at once (one repaint instead of one per
// window) through DeferWindowPos. The moves take effect at commit() or when
// the object goes; should Windows refuse the batch, each window is moved on
// its own.
class DeferredMoves {
public:
    explicit DeferredMoves(int expected_windows);
    ~DeferredMoves();
    DeferredMoves(const DeferredMoves&) = delete;
    DeferredMoves& operator=(const DeferredMoves&) = delete;

    void move(HWND window, const RECT& to);
    void commit();

private:
    HDWP batch_;
};

}  // namespace kivo::ui
