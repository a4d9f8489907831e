#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "appcore/column_layout.h"
#include "engine/account_hooks.h"
#include "ui/handles.h"
#include "ui/image_list.h"
#include "ui/list_view.h"
#include "ui/subclass.h"
#include "ui/timer.h"

namespace kivo::views {

class PanesHost;
class PreviewPane;
class AccountsListView;

// The messages list (control 1051) of the account selected in the accounts
// list: drawn by itself (unseen rows bold), the marks as the row's icon,
// each row's data the message's identity key. Keeps its own references to
// the shown records, so a check that replaces the account's list cannot pull
// them away mid-paint.
class MessagesListView {
public:
    static constexpr int kControlId = 1051;
    static constexpr UINT_PTR kSeenTimer = 1;
    static constexpr UINT kSeenDelayMs = 3000;

    MessagesListView();
    ~MessagesListView();
    MessagesListView(const MessagesListView&) = delete;
    MessagesListView& operator=(const MessagesListView&) = delete;

    // Made by Panes; the preview and the accounts list are told of changes.
    void create(HINSTANCE module, HWND parent, PanesHost* host, const std::string& controls_key,
                PreviewPane* preview, AccountsListView* accounts);
    HWND hwnd() const { return list_.hwnd(); }

    // Null clears; keeps selection, focus and the preview's scroll when the
    // rows match the account's messages.
    void show(Account* account);
    Account* shown() const { return account_; }
    // Every messages-list command id.
    void command(int id);
    bool has_selection() const;
    int row_count() const;
    // Clears the shown list, the preview and the seen timer when they are
    // this account's.
    void forget(const Account& account);
    bool customize_columns(HWND owner);

    // ---- for Panes and the tests
    bool on_notify(NMHDR* header, LRESULT& result);
    bool on_draw_item(DRAWITEMSTRUCT& item);
    void save_layout() const;
    const ColumnLayout& layout() const { return layout_; }
    void apply_layout();
    void set_font(HFONT font);
    bool seen_timer_running() const { return seen_timer_.running(); }
    // The record shown in a row; null for none.
    std::shared_ptr<Message> message_at(int row) const;
    std::vector<std::shared_ptr<Message>> selected_messages() const;
    // The menu 159 popup with the states of the current selection.
    void update_menu_states(HMENU menu) const;
    void context_menu(POINT at);

private:
    LRESULT list_message(ui::Subclass& self, UINT message, WPARAM wparam, LPARAM lparam);
    void start_seen_timer();
    void on_seen_timer();
    void focused_changed();
    void fill_rows();
    void set_row(int row, const Message& message);
    void mark(int id);
    void read_back_header();
    void show_header_dialog();

    HINSTANCE module_ = nullptr;
    PanesHost* host_ = nullptr;
    PreviewPane* preview_ = nullptr;
    AccountsListView* accounts_ = nullptr;
    ui::ListView list_;
    std::unique_ptr<ui::Subclass> subclass_;
    ui::ImageList icons_;
    ui::BitmapHandle attach_bitmap_;
    ui::BitmapHandle priority_bitmap_;
    ui::FontHandle bold_font_;
    HFONT font_ = nullptr;
    ColumnLayout layout_;
    ui::Timer seen_timer_;
    Account* account_ = nullptr;
    int filling_ = 0;  // rows being rebuilt: their notifications are not the user's
    MessageList rows_;  // the shown records, in row order
};

}  // namespace kivo::views
