#pragma once
#include <array>

namespace kivo::layout {

// Three panes stacked from top to bottom with a bar between each two.
constexpr int kSplitterPanes = 3;
using PaneHeights = std::array<int, kSplitterPanes>;

struct SplitterMetrics {
    int bar = 5;                       // height of each of the two bars
    PaneHeights minimum{20, 20, 20};   // no drag or shrink goes below these
    int elastic = 1;                   // the pane that takes what the others leave
};

// The panes' heights for a client area `total` pixels high. The panes other
// than the elastic one keep their wanted heights (at least their minimum) and
// the elastic one fills the rest. When that would push it below its minimum
// the others give way, bottom pane first, down to their own minimums; when
// not even the minimums fit, the panes get them from the top down and the
// last ones get what is left (possibly nothing). The heights never add up to
// more than the room there is and are never negative.
PaneHeights fit_heights(const PaneHeights& wanted, const SplitterMetrics& metrics, int total);

// The heights after bar `bar` (0: below the top pane, 1: below the middle
// one) moved by `delta` pixels: only the two panes next to it change, their
// sum stays, and neither goes below its minimum. A bar without room between
// the minimums does not move.
PaneHeights move_bar(const PaneHeights& heights, const SplitterMetrics& metrics, int bar, int delta);

// A splitter's state: the heights the user chose (or that were stored), the
// heights the panes have in the current client area, and a drag in progress.
// The chosen heights survive a shrink, so a window that grows back gets them
// again.
class SplitterLayout {
public:
    explicit SplitterLayout(const SplitterMetrics& metrics = {});

    const SplitterMetrics& metrics() const { return metrics_; }

    // Heights to aim for (stored ones); a 0 leaves that pane's choice as it was.
    void set_wanted(const PaneHeights& heights);
    const PaneHeights& wanted() const { return wanted_; }

    // Fits the panes into a client area `total` pixels high.
    void resize(int total);
    int total() const { return total_; }
    const PaneHeights& heights() const { return heights_; }

    // The y of a pane's top edge and of a bar's top edge.
    int pane_top(int pane) const;
    int bar_top(int bar) const;
    // The bar at height y of the client area, or -1 when y is on a pane.
    int bar_at(int y) const;

    // A drag of bar `bar` that began at height y; drag_to moves it so that it
    // is as far from where it started as the mouse is.
    void begin_drag(int bar, int y);
    void drag_to(int y);
    void end_drag() { drag_bar_ = -1; }
    bool dragging() const { return drag_bar_ >= 0; }

private:
    SplitterMetrics metrics_;
    PaneHeights wanted_{};
    PaneHeights heights_{};
    int total_ = 0;
    int drag_bar_ = -1;
    int drag_start_y_ = 0;
    int drag_last_y_ = 0;
    PaneHeights drag_start_{};
};

}  // namespace kivo::layout
