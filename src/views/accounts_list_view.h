#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "appcore/account_sort.h"
#include "appcore/column_layout.h"
#include "platform/sync.h"
#include "ui/handles.h"
#include "ui/image_list.h"
#include "ui/list_view.h"
#include "ui/subclass.h"

namespace kivo {
class Account;
class TimedAccount;
}  // namespace kivo

namespace kivo::views {

class PanesHost;

// The accounts list (control 1012): one row per account, columns from the
// stored layout, the state as the row's icon. It owns the accounts in row
// order; a semaphore guards that order against the connection manager's
// thread, which takes snapshot() from its own thread.
class AccountsListView {
public:
    static constexpr int kControlId = 1012;

    AccountsListView();
    ~AccountsListView();
    AccountsListView(const AccountsListView&) = delete;
    AccountsListView& operator=(const AccountsListView&) = delete;

    // Made by Panes. controls_key: the "CustomizeControls" key below
    // HKEY_CURRENT_USER; the layout is read from it now.
    void create(HINSTANCE module, HWND parent, PanesHost* host, const std::string& controls_key);
    HWND hwnd() const { return list_.hwnd(); }

    // index: where the row goes (none or beyond the end: last).
    void add(std::unique_ptr<Account> account, std::optional<std::size_t> index = {});
    void redraw(const Account& account);
    void redraw_all();
    // Takes the list's lock; the caller stopped the thread. Null when the
    // account is not in the list.
    std::unique_ptr<Account> remove(const Account& account);
    bool move_selected(int delta);  // -1 up, +1 down
    Account* selected() const;
    Account* at(std::size_t index) const;
    std::size_t count() const;
    Account* find(std::uint64_t serial) const;
    std::vector<Account*> accounts() const;  // window thread, row order
    std::vector<TimedAccount*> snapshot();   // any thread, under the list's lock
    void select(std::size_t index);
    // The Columns dialog (199); on OK applies and saves.
    bool customize_columns(HWND owner);

    // ---- for Panes and the tests
    // WM_NOTIFY from the list or its header; true when handled.
    bool on_notify(NMHDR* header, LRESULT& result);
    void save_layout() const;
    const ColumnLayout& layout() const { return layout_; }
    const AccountSort& sort() const { return sort_; }
    // A click on the header item `item` (what the mouse does).
    void sort_by_header_item(int item);
    void apply_layout();
    // Menu 163's states for the selected account: "Enable" or "Disable",
    // "Check" grayed for a disabled account (or none).
    void prepare_menu(HMENU menu) const;
    // The context menu at a screen point (-1, -1: below the selected row).
    void context_menu(POINT at);

private:
    LRESULT list_message(ui::Subclass& self, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT paint_unfocused_selection(NMLVCUSTOMDRAW& draw) const;
    void fill_row(int row, const Account& account);
    void refill();
    void read_back_header();
    void show_sort_arrow();
    int row_of(const Account& account) const;

    HINSTANCE module_ = nullptr;
    PanesHost* host_ = nullptr;
    ui::ListView list_;
    std::unique_ptr<ui::Subclass> subclass_;
    ui::ImageList icons_;
    ui::BitmapHandle ascending_;
    ui::BitmapHandle descending_;
    ColumnLayout layout_;
    AccountSort sort_;
    mutable platform::Semaphore lock_{1, 1};
    std::vector<std::unique_ptr<Account>> accounts_;  // row order
};

}  // namespace kivo::views
