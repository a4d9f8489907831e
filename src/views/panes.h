#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "appcore/pane_heights.h"
#include "views/accounts_list_view.h"
#include "views/messages_list_view.h"
#include "views/panes_host.h"
#include "views/preview_pane.h"

namespace kivo::views {

struct PanesArgs {
    HINSTANCE module;  // where the icons, bitmaps, menus and dialogs live
    HWND parent;
    int x, y, width, height;
    PanesHost* host;
    std::string registry_root = "SOFTWARE\\Kivo, Inc.\\Kivo\\CustomizeControls";
};

class PanesWindow;

// The main window's client area below the toolbar: the accounts list, the
// messages list and the preview stacked in a splitter (a child window). The
// pane heights are kept under "<registry_root>\\Splitter".
class Panes {
public:
    Panes();
    ~Panes();
    Panes(const Panes&) = delete;
    Panes& operator=(const Panes&) = delete;

    void create(const PanesArgs& args);
    HWND hwnd() const;
    void move(int x, int y, int width, int height);
    AccountsListView& accounts() { return accounts_; }
    MessagesListView& messages() { return messages_; }
    PreviewPane& preview() { return preview_; }
    // When the main window hides.
    void remember_heights();
    // Layouts and heights, at exit and at the end of the session.
    void save();
    void set_font(HFONT font);
    const PaneHeights& heights() const { return heights_; }

private:
    std::unique_ptr<PanesWindow> window_;
    std::string registry_root_;
    PaneHeights heights_;
    // The lists go before the splitter window is destroyed (members are
    // destroyed in reverse order: window_ is declared first).
    AccountsListView accounts_;
    MessagesListView messages_;
    PreviewPane preview_;
};

}  // namespace kivo::views
