#pragma once
#include <windows.h>

#include <array>
#include <memory>

#include "layout/splitter_layout.h"
#include "ui/window.h"
#include "ui/window_class.h"

namespace kivo::ui {

// A child window holding three panes stacked from top to bottom, with a bar
// between each two that the mouse drags (the mouse is captured for the drag,
// the cursor shows the bar). The panes are windows of the caller's, created
// as children of the splitter; they fill its width. Notifications and
// owner-drawing requests from the panes are passed on to the splitter's
// parent, so the panes behave as if they were its own children.
class Splitter : public Window {
public:
    explicit Splitter(const layout::SplitterMetrics& metrics = {});
    ~Splitter() override;

    // Creates the splitter as a child of `parent` at `area` (parent's client
    // coordinates). Throws when Windows refuses.
    void create(HWND parent, const RECT& area, int id = 0, DWORD ex_style = WS_EX_CONTROLPARENT);

    void set_panes(HWND top, HWND middle, HWND bottom);
    HWND pane(int index) const { return panes_[static_cast<std::size_t>(index)]; }

    // Heights to aim for (the stored ones); a 0 leaves a pane's as it was.
    void set_pane_heights(const layout::PaneHeights& heights);
    // The panes' current heights (what is stored when the program ends).
    const layout::PaneHeights& pane_heights() const { return layout_.heights(); }
    const layout::SplitterLayout& layout() const { return layout_; }

    // Places the panes again for the splitter's current size.
    void lay_out();

protected:
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    void place_panes(int width);
    bool mouse_on_bar() const;

    std::unique_ptr<WindowClass> class_;
    layout::SplitterLayout layout_;
    std::array<HWND, layout::kSplitterPanes> panes_{};
};

}  // namespace kivo::ui
