#pragma once
#include "layout/geometry.h"

namespace kivo::layout {

// The edges of its parent that a control keeps its distance to. Anchored to
// both opposite edges it stretches; to the far edge only it moves; to the
// near edge only (or to neither) it stays where it was put.
enum Anchor : unsigned {
    kAnchorLeft = 1,
    kAnchorTop = 2,
    kAnchorRight = 4,
    kAnchorBottom = 8,
    kAnchorTopLeft = kAnchorLeft | kAnchorTop,
    kAnchorAll = kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom,
};

// Where a control that was at `initial` when its parent's client area was
// `initial_parent` goes when the client area becomes `parent`. A stretched
// control never gets a negative size: it shrinks to nothing at its near edge.
Rect anchored_rect(const Rect& initial, Size initial_parent, Size parent, unsigned anchors);

}  // namespace kivo::layout
