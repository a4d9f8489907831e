#include "ui/deferred_moves.h"

namespace kivo::ui {
namespace {
constexpr UINT kMoveFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
}

DeferredMoves::DeferredMoves(int expected_windows) : batch_(BeginDeferWindowPos(expected_windows)) {}

DeferredMoves::~DeferredMoves()
{
    commit();
}

void DeferredMoves::move(HWND window, const RECT& to)
{
    if (!window)
        return;
    const int width = to.right - to.left > 0 ? to.right - to.left : 0;
    const int height = to.bottom - to.top > 0 ? to.bottom - to.top : 0;
    if (batch_) {
        // On failure the batch is gone already: go on one by one.
        batch_ = DeferWindowPos(batch_, window, nullptr, to.left, to.top, width, height, kMoveFlags);
        if (batch_)
            return;
    }
    SetWindowPos(window, nullptr, to.left, to.top, width, height, kMoveFlags);
}

void DeferredMoves::commit()
{
    if (batch_) {
        EndDeferWindowPos(batch_);
        batch_ = nullptr;
    }
}

}  // namespace kivo::ui
