#pragma once

#include <windows.h>

namespace kivo::views {

// What the lists post to themselves after the user dragged a header divider
// or moved a column: read the header back into the layout, then refill.
constexpr UINT kReadBackHeader = WM_USER + 102;
constexpr UINT kRefillRows = WM_USER + 103;

// Tab and Shift+Tab move between the panes when no dialog manager does it:
// the next (or previous) tab stop of the top-level window. False when there
// is none other than `from`.
inline bool tab_to_next(HWND from, bool backwards)
{
    HWND root = GetAncestor(from, GA_ROOT);
    HWND next = root ? GetNextDlgTabItem(root, from, backwards ? TRUE : FALSE) : nullptr;
    if (!next || next == from)
        return false;
    SetFocus(next);
    return true;
}

}  // namespace kivo::views
