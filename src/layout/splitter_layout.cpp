#include "layout/splitter_layout.h"

#include <algorithm>

namespace kivo::layout {
namespace {

int minimum_of(const SplitterMetrics& metrics, int pane)
{
    return std::max(0, metrics.minimum[pane]);
}

int elastic_of(const SplitterMetrics& metrics)
{
    return std::clamp(metrics.elastic, 0, kSplitterPanes - 1);
}

int room_for_panes(const SplitterMetrics& metrics, int total)
{
    return std::max(0, total - (kSplitterPanes - 1) * std::max(0, metrics.bar));
}

}  // namespace

PaneHeights fit_heights(const PaneHeights& wanted, const SplitterMetrics& metrics, int total)
{
    const int room = room_for_panes(metrics, total);
    const int elastic = elastic_of(metrics);
    PaneHeights h{};
    long long others = 0;
    for (int i = 0; i < kSplitterPanes; ++i) {
        h[i] = std::max(wanted[i], minimum_of(metrics, i));
        if (i != elastic)
            others += h[i];
    }
    // In 64 bits: stored heights come from the registry and may be huge.
    long long rest = room - others;
    if (rest >= minimum_of(metrics, elastic)) {
        h[elastic] = static_cast<int>(rest);
        return h;
    }
    long long deficit = minimum_of(metrics, elastic) - rest;
    h[elastic] = minimum_of(metrics, elastic);
    for (int i = kSplitterPanes - 1; i >= 0 && deficit > 0; --i) {
        if (i == elastic)
            continue;
        long long give = std::min<long long>(deficit, h[i] - minimum_of(metrics, i));
        h[i] -= static_cast<int>(give);
        deficit -= give;
    }
    if (deficit > 0) {
        int left = room;
        for (int i = 0; i < kSplitterPanes; ++i) {
            h[i] = std::min(minimum_of(metrics, i), left);
            left -= h[i];
        }
    }
    return h;
}

PaneHeights move_bar(const PaneHeights& heights, const SplitterMetrics& metrics, int bar, int delta)
{
    if (bar < 0 || bar >= kSplitterPanes - 1)
        return heights;
    const int pair = heights[bar] + heights[bar + 1];
    const int low = minimum_of(metrics, bar);
    const int high = pair - minimum_of(metrics, bar + 1);
    if (high < low)
        return heights;
    PaneHeights h = heights;
    long long moved = static_cast<long long>(heights[bar]) + delta;
    h[bar] = static_cast<int>(std::clamp<long long>(moved, low, high));
    h[bar + 1] = pair - h[bar];
    return h;
}

SplitterLayout::SplitterLayout(const SplitterMetrics& metrics) : metrics_(metrics)
{
    wanted_ = metrics_.minimum;
    for (int& h : wanted_)
        h = std::max(h, 0);
    heights_ = fit_heights(wanted_, metrics_, 0);
}

void SplitterLayout::set_wanted(const PaneHeights& heights)
{
    for (int i = 0; i < kSplitterPanes; ++i)
        if (heights[i] > 0)
            wanted_[i] = heights[i];
    heights_ = fit_heights(wanted_, metrics_, total_);
}

void SplitterLayout::resize(int total)
{
    total_ = std::max(0, total);
    heights_ = fit_heights(wanted_, metrics_, total_);
    if (dragging()) {
        // The window changed under the drag: go on from where things are now.
        drag_start_ = heights_;
        drag_start_y_ = drag_last_y_;
    }
}

int SplitterLayout::pane_top(int pane) const
{
    int y = 0;
    for (int i = 0; i < pane && i < kSplitterPanes; ++i)
        y += heights_[i] + std::max(0, metrics_.bar);
    return y;
}

int SplitterLayout::bar_top(int bar) const
{
    return pane_top(bar) + heights_[std::clamp(bar, 0, kSplitterPanes - 1)];
}

int SplitterLayout::bar_at(int y) const
{
    const int bar = std::max(0, metrics_.bar);
    for (int i = 0; i < kSplitterPanes - 1; ++i) {
        int top = bar_top(i);
        if (y >= top && y < top + bar)
            return i;
    }
    return -1;
}

void SplitterLayout::begin_drag(int bar, int y)
{
    if (bar < 0 || bar >= kSplitterPanes - 1)
        return;
    drag_bar_ = bar;
    drag_start_y_ = y;
    drag_last_y_ = y;
    drag_start_ = heights_;
}

void SplitterLayout::drag_to(int y)
{
    if (!dragging())
        return;
    drag_last_y_ = y;
    heights_ = move_bar(drag_start_, metrics_, drag_bar_, y - drag_start_y_);
    // What the user sets by hand is what the panes aim for from now on.
    wanted_ = heights_;
}

}  // namespace kivo::layout
