#pragma once
#include <windows.h>

#include <vector>

#include "layout/anchor_layout.h"

namespace kivo::ui {

// Keeps child controls anchored to edges of their parent (a resizable dialog
// or window). Each control's rectangle is recorded when it is added, together
// with the parent's client size at that moment; apply() places every control
// for a new client size, from those records alone.
class AnchoredLayout {
public:
    explicit AnchoredLayout(HWND parent) : parent_(parent) {}

    // `anchors`: layout::kAnchorLeft | kAnchorRight ... A control added
    // twice takes the later anchors and rectangle.
    void add(HWND child, unsigned anchors);
    void add(HWND parent_of_item, int control_id, unsigned anchors)
    {
        add(GetDlgItem(parent_of_item, control_id), anchors);
    }
    // Call on WM_SIZE with the new client size.
    void apply(int client_width, int client_height) const;
    // With the parent's current client size.
    void apply() const;

private:
    struct Entry {
        HWND child;
        layout::Rect initial;
        layout::Size initial_parent;
        unsigned anchors;
    };
    HWND parent_;
    std::vector<Entry> entries_;
};

}  // namespace kivo::ui
