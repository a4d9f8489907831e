#include "layout/anchor_layout.h"

namespace kivo::layout {
namespace {

// One axis: [near, far) of a control in a parent that grew by `growth`.
void place(int& near_edge, int& far_edge, int growth, bool near_anchor, bool far_anchor)
{
    if (far_anchor && near_anchor) {
        far_edge += growth;
        if (far_edge < near_edge)
            far_edge = near_edge;
    } else if (far_anchor) {
        near_edge += growth;
        far_edge += growth;
    }
}

}  // namespace

Rect anchored_rect(const Rect& initial, Size initial_parent, Size parent, unsigned anchors)
{
    Rect r = initial;
    place(r.left, r.right, parent.width - initial_parent.width, anchors & kAnchorLeft, anchors & kAnchorRight);
    place(r.top, r.bottom, parent.height - initial_parent.height, anchors & kAnchorTop, anchors & kAnchorBottom);
    return r;
}

}  // namespace kivo::layout
