#include "views/panes.h"

#include <algorithm>

#include "appcore/pane_heights.h"
#include "ui/splitter.h"

namespace kivo::views {
namespace {

// The least each pane keeps, so that the stored defaults (30, 30 and 50
// pixels) still show a first run something: the accounts list a few rows
// under its header, the preview its header area and a few lines. The
// accounts list's eight columns are wider than the first window, so its
// horizontal scroll bar is counted too, or it would cover the third row.
layout::SplitterMetrics pane_metrics()
{
    const int row = std::max(18, GetSystemMetrics(SM_CYSMICON) + 2);
    const int header = row + 6;
    layout::SplitterMetrics metrics;
    metrics.minimum = {header + 3 * row + 4 + GetSystemMetrics(SM_CYHSCROLL), header + 2 * row + 4, 36 + 3 * row};
    return metrics;
}

}  // namespace

// The splitter that holds the panes. What the lists tell their parent
// (notifications, owner drawing) is theirs to answer; the rest goes on to the
// main window as the splitter does for any pane.
class PanesWindow : public ui::Splitter {
public:
    explicit PanesWindow(Panes& panes) : Splitter(pane_metrics()), panes_(panes) {}
    ~PanesWindow() override { destroy(); }

protected:
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override
    {
        switch (message) {
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lparam);
            LRESULT result = 0;
            if (panes_.accounts().on_notify(header, result) || panes_.messages().on_notify(header, result))
                return result;
            if (header->hwndFrom == panes_.accounts().hwnd() || header->hwndFrom == panes_.messages().hwnd() ||
                GetParent(header->hwndFrom) == panes_.accounts().hwnd() ||
                GetParent(header->hwndFrom) == panes_.messages().hwnd())
                return default_handling(message, wparam, lparam);
            break;
        }
        case WM_DRAWITEM:
            if (panes_.messages().on_draw_item(*reinterpret_cast<DRAWITEMSTRUCT*>(lparam)))
                return TRUE;
            break;
        case WM_MEASUREITEM: {
            auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
            if (measure->CtlType == ODT_LISTVIEW && measure->CtlID == MessagesListView::kControlId) {
                measure->itemHeight = static_cast<UINT>(std::max(18, GetSystemMetrics(SM_CYSMICON) + 2));
                return TRUE;
            }
            break;
        }
        default:
            break;
        }
        return Splitter::handle_message(message, wparam, lparam);
    }

private:
    Panes& panes_;
};

Panes::Panes() = default;

Panes::~Panes()
{
    // The lists' windows go with the splitter, while the views still exist.
    window_.reset();
}

void Panes::create(const PanesArgs& args)
{
    registry_root_ = args.registry_root;
    window_ = std::make_unique<PanesWindow>(*this);
    window_->create(args.parent, RECT{args.x, args.y, args.x + args.width, args.y + args.height});
    HWND parent = window_->hwnd();
    preview_.create(args.module, parent);
    accounts_.create(args.module, parent, args.host, registry_root_);
    messages_.create(args.module, parent, args.host, registry_root_, &preview_, &accounts_);
    // Tab order follows the panes from top to bottom.
    SetWindowPos(messages_.hwnd(), accounts_.hwnd(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(preview_.hwnd(), messages_.hwnd(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    window_->set_panes(accounts_.hwnd(), messages_.hwnd(), preview_.hwnd());
    heights_.load(registry_root_ + "\\Splitter");
    window_->set_pane_heights({heights_.accounts, heights_.messages, heights_.preview});
}

HWND Panes::hwnd() const { return window_ ? window_->hwnd() : nullptr; }

void Panes::move(int x, int y, int width, int height)
{
    if (window_)
        MoveWindow(window_->hwnd(), x, y, width, height, TRUE);
}

void Panes::remember_heights()
{
    if (!window_)
        return;
    const auto& now = window_->pane_heights();
    // A pane squeezed to nothing (a minimised window) is no choice of the user's.
    if (now[0] > 0 && now[1] > 0 && now[2] > 0)
        heights_ = PaneHeights{now[0], now[1], now[2]};
}

void Panes::save()
{
    if (window_ && IsWindowVisible(window_->hwnd()))
        remember_heights();
    accounts_.save_layout();
    messages_.save_layout();
    heights_.save(registry_root_ + "\\Splitter");
}

void Panes::set_font(HFONT font)
{
    if (accounts_.hwnd())
        SendMessageA(accounts_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    messages_.set_font(font);
    preview_.set_font(font);
}

}  // namespace kivo::views
