#include "ui/deferred_moves.h"

namespace kivo::ui {
namespace {

constexpr UINT kMoveFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

int extent(LONG from, LONG to)
{
    return to > from ? static_cast<int>(to - from) : 0;
}

void move_now(HWND window, const RECT& to)
{
    SetWindowPos(window, nullptr, to.left, to.top, extent(to.left, to.right), extent(to.top, to.bottom),
                 kMoveFlags);
}

}  // namespace

DeferredMoves::DeferredMoves(int expected_windows) : batch_(BeginDeferWindowPos(expected_windows))
{
    deferred_.reserve(expected_windows > 0 ? static_cast<std::size_t>(expected_windows) : 0);
}

DeferredMoves::~DeferredMoves()
{
    commit();
}

void DeferredMoves::move(HWND window, const RECT& to)
{
    if (!window || !IsWindow(window))
        return;
    if (batch_) {
        batch_ = DeferWindowPos(batch_, window, nullptr, to.left, to.top, extent(to.left, to.right),
                                extent(to.top, to.bottom), kMoveFlags);
        if (batch_) {
            deferred_.emplace_back(window, to);
            return;
        }
        for (const auto& [earlier, rect] : deferred_)
            move_now(earlier, rect);
        deferred_.clear();
    }
    move_now(window, to);
}

void DeferredMoves::commit()
{
    if (batch_) {
        EndDeferWindowPos(batch_);
        batch_ = nullptr;
    }
    deferred_.clear();
}

}  // namespace kivo::ui
