#pragma once
#include <windows.h>

#include <utility>
#include <vector>

namespace kivo::ui {

// Moves several child windows at once (one repaint instead of one per
// window) through DeferWindowPos. The moves take effect at commit() or when
// the object goes. Should Windows refuse the batch (which throws away the
// moves deferred so far), every move is made on its own instead.
class DeferredMoves {
public:
    explicit DeferredMoves(int expected_windows);
    ~DeferredMoves();
    DeferredMoves(const DeferredMoves&) = delete;
    DeferredMoves& operator=(const DeferredMoves&) = delete;

    // Windows that no longer exist are skipped.
    void move(HWND window, const RECT& to);
    void commit();

private:
    HDWP batch_;
    std::vector<std::pair<HWND, RECT>> deferred_;
};

}  // namespace kivo::ui
