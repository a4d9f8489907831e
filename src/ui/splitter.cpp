#include "ui/splitter.h"

#include <windowsx.h>

#include "ui/deferred_moves.h"

namespace kivo::ui {

Splitter::Splitter(const layout::SplitterMetrics& metrics) : layout_(metrics) {}

Splitter::~Splitter()
{
    // Before the members go: the window still uses the class and the layout.
    destroy();
}

void Splitter::create(HWND parent, const RECT& area, int id, DWORD ex_style)
{
    HINSTANCE module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    if (!class_) {
        WindowClass::Options options;
        options.style = 0;
        class_ = std::make_unique<WindowClass>(module, options);
    }
    CreateArgs args;
    args.ex_style = ex_style;
    args.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    args.x = area.left;
    args.y = area.top;
    args.width = area.right - area.left;
    args.height = area.bottom - area.top;
    args.parent = parent;
    args.menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    Window::create(*class_, args);
}

void Splitter::set_panes(HWND top, HWND middle, HWND bottom)
{
    panes_ = {top, middle, bottom};
    lay_out();
}

void Splitter::set_pane_heights(const layout::PaneHeights& heights)
{
    layout_.set_wanted(heights);
    lay_out();
}

void Splitter::lay_out()
{
    if (!hwnd())
        return;
    RECT client{};
    GetClientRect(hwnd(), &client);
    layout_.resize(client.bottom);
    place_panes(client.right);
}

void Splitter::place_panes(int width)
{
    DeferredMoves moves(layout::kSplitterPanes);
    for (int i = 0; i < layout::kSplitterPanes; ++i) {
        int top = layout_.pane_top(i);
        moves.move(panes_[static_cast<std::size_t>(i)], RECT{0, top, width, top + layout_.heights()[i]});
    }
}

bool Splitter::mouse_on_bar() const
{
    POINT at{};
    GetCursorPos(&at);
    ScreenToClient(hwnd(), &at);
    return layout_.bar_at(at.y) >= 0;
}

LRESULT Splitter::handle_message(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_SIZE:
        layout_.resize(HIWORD(lparam));
        place_panes(LOWORD(lparam));
        return 0;
    case WM_LBUTTONDOWN: {
        int y = GET_Y_LPARAM(lparam);
        int bar = layout_.bar_at(y);
        if (bar >= 0) {
            layout_.begin_drag(bar, y);
            SetCapture(hwnd());
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        if (layout_.dragging()) {
            // Captured, y may be above or below the window: still signed.
            layout_.drag_to(GET_Y_LPARAM(lparam));
            RECT client{};
            GetClientRect(hwnd(), &client);
            place_panes(client.right);
        }
        return 0;
    case WM_LBUTTONUP:
        if (layout_.dragging()) {
            layout_.drag_to(GET_Y_LPARAM(lparam));
            layout_.end_drag();
            RECT client{};
            GetClientRect(hwnd(), &client);
            place_panes(client.right);
            if (GetCapture() == hwnd())
                ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse (a menu, a message box): the drag
        // ends where it is.
        if (reinterpret_cast<HWND>(lparam) != hwnd())
            layout_.end_drag();
        return 0;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wparam) == hwnd() && LOWORD(lparam) == HTCLIENT &&
            (layout_.dragging() || mouse_on_bar())) {
            SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32645)));  // IDC_SIZENS
            return TRUE;
        }
        break;
    case WM_NOTIFY:
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
        if (HWND parent = GetParent(hwnd()))
            return SendMessageA(parent, message, wparam, lparam);
        break;
    default:
        break;
    }
    return default_handling(message, wparam, lparam);
}

}  // namespace kivo::ui
