#include "ui/anchored_layout.h"

#include "ui/deferred_moves.h"

namespace kivo::ui {

void AnchoredLayout::add(HWND child, unsigned anchors)
{
    if (!child)
        return;
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, parent_, reinterpret_cast<POINT*>(&r), 2);
    RECT client{};
    GetClientRect(parent_, &client);
    Entry entry{child, layout::Rect{r.left, r.top, r.right, r.bottom},
                layout::Size{client.right, client.bottom}, anchors};
    for (Entry& existing : entries_) {
        if (existing.child == child) {
            existing = entry;
            return;
        }
    }
    entries_.push_back(entry);
}

void AnchoredLayout::apply(int client_width, int client_height) const
{
    DeferredMoves moves(static_cast<int>(entries_.size()));
    for (const Entry& entry : entries_) {
        if (!IsWindow(entry.child))
            continue;
        layout::Rect r = layout::anchored_rect(entry.initial, entry.initial_parent,
                                               layout::Size{client_width, client_height}, entry.anchors);
        moves.move(entry.child, RECT{r.left, r.top, r.right, r.bottom});
    }
}

void AnchoredLayout::apply() const
{
    RECT client{};
    GetClientRect(parent_, &client);
    apply(client.right, client.bottom);
}

}  // namespace kivo::ui
