#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/bridge_connection.h"
#include "app/window_filter_actions.h"
#include "app/notifier.h"
#include "appcore/command_states.h"
#include "appcore/mail_client.h"
#include "appcore/settings.h"
#include "engine/checking_cycle.h"
#include "engine/filter_classifier.h"
#include "engine/connection_manager.h"
#include "engine/host_bridge.h"
#include "filter/email_filter.h"
#include "filter/filter_actions.h"
#include "notify/system_filter_actions.h"
#include "ui/dialog.h"
#include "ui/handles.h"
#include "ui/image_list.h"
#include "ui/message_loop.h"
#include "ui/status_bar.h"
#include "ui/timer.h"
#include "ui/tool_bar.h"
#include "views/accounts_list_view.h"
#include "views/messages_list_view.h"
#include "views/panes.h"
#include "views/panes_host.h"

namespace kivo::app {

inline constexpr const char* kMainWindowTitle = "Kivo Email Checker";

using Panes = views::Panes;

// The program's one top-level window (dialog 102): the toolbar, the panes,
// the status bar, every command, and the account threads' host through the
// bridge. Closing it hides it; only Exit and the end of the session end the
// program.
class MainWindow : public ui::Dialog, public HostClient, public views::PanesHost {
public:
    static constexpr UINT_PTR kTrayTimer = 1;
    static constexpr UINT kTrayTimerMs = 500;
    static constexpr UINT kTrayCallback = WM_USER + 100;

    struct Args {
        HINSTANCE module = nullptr;
        // Routes the accelerators by focus; none: no accelerators (tests).
        ui::MessageLoop* loop = nullptr;
        // Asked when there is no account at start-up; none: nothing.
        std::function<void(MainWindow&)> first_account;
    };
    explicit MainWindow(const Args& args);
    ~MainWindow() override;

    // Loads the settings, builds the window (hidden) and starts the accounts.
    void create();

    // Shows the window at its stored placement, or hides it to the tray.
    void Show(bool show);
    bool visible() const { return visible_; }
    bool hide_start() const { return settings_.hide_start; }
    // True once Exit or the end of the session has run.
    bool finished() const { return finished_; }

    int UnseenTotal() const;
    int MessageTotal() const;
    int MarkedForDeletionTotal() const;

    // The new-account wizard; on Finish the account is added as the last
    // row and saved, and its thread started when asked. False on Cancel.
    bool run_wizard(bool start_thread);

    // Runs one command as a menu item would.
    void run_command(int id);
    CommandStates command_states() const { return states_; }
    void update_command_states();

    Panes& panes() { return panes_; }
    Settings& settings() { return settings_; }
    Notifier& notifier() { return *notifier_; }
    HostBridge& bridge() { return bridge_; }
    ConnectionManager& connections() { return manager_; }
    HWND toolbar() const { return toolbar_.hwnd(); }
    HWND status_bar() const { return status_.hwnd(); }
    HMENU menu_bar() const { return menu_bar_; }
    // Binds a new account to the engine and appends its row; its thread is
    // started by the caller (or by the time-out thread at start-up).
    Account& add_account(std::unique_ptr<Account> account);
    bool save_accounts();

    // ---- HostClient
    Account* find_account(std::uint64_t serial) override;
    void account_changed(Account& account) override;
    void play_sound(const std::string& file) override;
    void run_file(const std::string& file) override;
    bool run_mailer() override;
    bool confirm_deletion(Account& account, const Asking& asking) override;

    // ---- PanesHost
    void pane_command(int id) override { run_command(id); }
    void panes_selection_changed() override;
    void account_marks_changed(Account& account) override;
    void reply_to(Account& account, const Message& message) override;
    void add_to_filter(int command, const Message& message) override;

protected:
    bool on_init() override;
    bool on_command(int id, int code, HWND control) override;
    bool on_notify(NMHDR* header, LRESULT& result) override;
    bool on_message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    void build_menus();
    void build_toolbar();
    void layout();
    void paint_band();
    void load_accounts();
    void apply_states();
    void apply_placement();
    void read_placement();
    void menu_select(WPARAM wparam, LPARAM lparam);

    // The commands with more than a line.
    void check_now(Account& account);
    void check_all();
    void stop_selected();
    void toggle_disabled();
    void remove_selected();
    void move_selected(int delta);
    void view_errors();
    void delete_all_messages();
    void show_log();
    void open_help();
    void exit_program();
    void finish(bool stop_threads);
    void save_everything();
    void tray_accounts_changed();
    void tray_callback(WPARAM wparam, LPARAM lparam);

    // Where the other dialogs are wired in.
    void new_account();
    void edit_account();
    std::vector<std::string> account_names(const Account* except);
    void open_settings();
    void open_filters();
    void show_about();

    HINSTANCE module_;
    ui::MessageLoop* loop_;
    std::function<void(MainWindow&)> first_account_;

    // Loaded first, before any window exists.
    Settings settings_;
    DefaultMailClient default_client_;
    HostBridge bridge_{settings_.shared};
    // The filters' actions are made per account when they fire, after the
    // account's session; nothing fires through the filter set itself.
    filter::NoFilterActions no_actions_;
    filter::EmailFilter filter_{no_actions_};
    WindowFilterActions window_actions_{[this] { run_mailer(); }};
    CheckingCycle cycle_{&bridge_, filter_classifier(filter_, [this](Account& account) -> std::unique_ptr<filter::FilterActions> {
                             return std::make_unique<notify::SystemFilterActions>(bridge_, account);
                         })};
    Panes panes_;
    ConnectionManager manager_;
    std::unique_ptr<Notifier> notifier_;  // made with the window
    std::unique_ptr<BridgeConnection> bridge_connection_;

    ui::ToolBar toolbar_;
    ui::StatusBar status_;
    ui::ImageList images_;
    ui::ImageList disabled_images_;
    std::vector<std::string> button_texts_;
    HMENU menu_bar_ = nullptr;
    ui::Timer tray_timer_;
    ui::FontHandle font_;
    CommandStates states_;
    bool updating_states_ = false;
    bool visible_ = false;
    bool placement_applied_ = false;
    bool hiding_ = false;
    bool accounts_dirty_ = false;
    bool tray_menu_dirty_ = false;
    bool finished_ = false;
    bool started_ = false;
    bool settings_open_ = false;  // the tray menu can ask again while the sheet is up
};

}  // namespace kivo::app
