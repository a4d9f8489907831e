#include "app/main_window.h"

#include <shellapi.h>

#include <cstring>
#include <functional>

#include "app/log_viewer.h"
#include "app/placement.h"
#include "app/resource_ids.h"
#include "appcore/command_ids.h"
#include "appcore/help_topics.h"
#include "dialogs/about_box.h"
#include "dialogs/account_apply.h"
#include "dialogs/account_dialog.h"
#include "dialogs/account_form.h"
#include "dialogs/account_wizard.h"
#include "dialogs/deletion_confirmation.h"
#include "dialogs/font_apply.h"
#include "dialogs/settings_sheet.h"
#include "dialogs/startup_shortcut.h"
#include "engine/account_file.h"
#include "filter_dialogs/dialog_context.h"
#include "filter_dialogs/filter_sheet.h"
#include "log/log.h"
#include "log/log_settings.h"
#include "message/message.h"
#include "message_ids.h"
#include "notify/mail_client_runner.h"
#include "notify/mapi_reply.h"
#include "platform/dialup.h"
#include "platform/message_text.h"
#include "platform/program_folder.h"
#include "ui/error_box.h"
#include "ui/menu.h"

namespace kivo::app {
namespace {

// The toolbar's buttons in order; 0 is a separator.
constexpr int kButtons[] = {CMD_CHECK,    CMD_CHECK_ALL, CMD_STOP,     0, CMD_DELETE_MESSAGES, 0,
                            CMD_REPLY,    0,             CMD_MOVE_UP,  CMD_MOVE_DOWN,        0,
                            CMD_RUN_MAILER, CMD_SETTINGS, 0,           CMD_FILTER};
// The commands whose state follows the selection.
constexpr int kStatefulCommands[] = {CMD_CHECK,     CMD_REMOVE_ACCOUNT,  CMD_EDIT_ACCOUNT, CMD_MOVE_UP,
                                     CMD_MOVE_DOWN, CMD_STOP,            CMD_DELETE_MESSAGES,
                                     CMD_REPLY,     CMD_VIEW_ERRORS};
// The commands the messages list handles itself.
constexpr int kMessageCommands[] = {CMD_MARK_DELETED, CMD_UNDELETE,      CMD_SHOW_HEADER,     CMD_SELECT_ALL,
                                    CMD_ADD_TO_FROM,  CMD_ADD_TO_SUBJECT, CMD_ADD_TO_SPAMMERS, CMD_MARK_READ,
                                    CMD_MARK_UNREAD,  CMD_ADD_TO_POWER,   CMD_ADD_TO_FRIENDS,  CMD_REPLY_MESSAGE};
constexpr int kBandGap = 7;  // between the toolbar and the panes, room for the etched band
constexpr int kMinimumHeight = 240;

bool is_message_command(int id)
{
    for (int command : kMessageCommands)
        if (command == id)
            return true;
    return false;
}

bool busy(std::uint32_t state) { return state == MSG_STATE_CHECKING || state == MSG_STATE_CONNECTING; }

std::string help_text(std::optional<std::uint32_t> id) { return id ? platform::message_text(*id) : std::string(); }

// Marks every message seen and recounts at once, under the list lock, so the
// badge, flashing and repeated sounds stop now and not at the next check.
void mark_all_seen(Account& account)
{
    if (!account.lock_list())
        return;
    account.mark_all_seen();
    account.set_new_messages(0);
    account.unlock_list();
}

// The Settings sheet's Help button: HTML Help on kivo.chm.
class ChmHelp : public dialogs::HelpViewer {
public:
    explicit ChmHelp(HWND owner) : owner_(owner) {}
    void show(const char* topic) override { filter_dialogs::open_help_file(owner_, topic); }

private:
    HWND owner_;
};

// The Customize page's icon buttons act on the tray at once, and the tray
// icon is redrawn with the new picture.
class NotifierPictures : public dialogs::TrayPictures {
public:
    NotifierPictures(Notifier& notifier, std::function<void()> redraw)
        : notifier_(notifier), redraw_(std::move(redraw))
    {
    }
    HICON icon(Settings::IconSlot slot) override { return notifier_.slot_picture(slot); }
    bool load(Settings::IconSlot slot, const std::string& file) override
    {
        if (!notifier_.replace_picture(slot, file))
            return false;
        redraw_();
        return true;
    }
    void restore_defaults() override
    {
        notifier_.restore_default_pictures();
        redraw_();
    }

private:
    Notifier& notifier_;
    std::function<void()> redraw_;
};

}  // namespace

MainWindow::MainWindow(const Args& args)
    : module_(args.module),
      loop_(args.loop),
      first_account_(args.first_account),
      manager_([this] { return panes_.accounts().snapshot(); }, platform::make_system_dialup(),
               [this] { return settings_.shared.connection_type.load(); })
{
}

MainWindow::~MainWindow()
{
    // Normally Exit ran already; otherwise (a failed start, a test) the
    // threads end before the accounts they use go.
    if (started_ && !finished_) {
        tray_timer_.stop();
        if (notifier_)
            notifier_->take_down();
        manager_.stop_all();
        manager_.stop();
    }
    bridge_connection_.reset();
    if (loop_ && hwnd()) {
        loop_->accelerators().remove_control_table(panes_.accounts().hwnd());
        loop_->accelerators().remove_control_table(panes_.messages().hwnd());
        loop_->accelerators().set_window_table(nullptr, nullptr);
    }
    destroy();
}

void MainWindow::create()
{
    settings_.Load([this] { return default_client_.lookup(); });
    create_modeless({module_, IDD_MAIN, nullptr});
}

bool MainWindow::on_init()
{
    // Without a stored font the dialog's own becomes the stored one, so the
    // controls the panes make themselves get it too instead of the bold
    // System font.
    if (!settings_.has_font()) {
        LOGFONTA own{};
        auto dialog_font = reinterpret_cast<HFONT>(SendMessageA(hwnd(), WM_GETFONT, 0, 0));
        if (dialog_font && GetObjectA(dialog_font, sizeof own, &own) == sizeof own && own.lfFaceName[0] != 0)
            std::memcpy(settings_.font.data(), &own, sizeof own);
        else
            settings_.font = {};
    }
    if (settings_.has_font()) {
        LOGFONTA description{};
        static_assert(sizeof(LOGFONTA) == Settings::kFontSize);
        std::memcpy(&description, settings_.font.data(), sizeof description);
        font_ = ui::FontHandle(CreateFontIndirectA(&description));
        if (!font_)
            settings_.font = {};
    }
    HICON small_icon = static_cast<HICON>(LoadImageA(module_, MAKEINTRESOURCEA(IDI_KIVO), IMAGE_ICON,
                                                     GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    HICON large_icon = static_cast<HICON>(LoadImageA(module_, MAKEINTRESOURCEA(IDI_KIVO), IMAGE_ICON,
                                                     GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
    SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon));
    SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large_icon));

    build_menus();
    build_toolbar();
    // The template may be narrower than the toolbar in this font: widen the
    // window so every button shows.
    RECT frame{};
    GetWindowRect(hwnd(), &frame);
    RECT inside{};
    GetClientRect(hwnd(), &inside);
    int wanted = toolbar_.ideal_size().cx + 12;
    if (inside.right < wanted)
        SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left + wanted - inside.right, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    status_.attach(ui::create_control(STATUSCLASSNAMEA, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, hwnd(), 0,
                                      RECT{0, 0, 0, 0}));
    RECT client{};
    GetClientRect(hwnd(), &client);
    int top = toolbar_.height() + kBandGap;
    views::PanesArgs panes{module_, hwnd(), 0, top, client.right, client.bottom - top - status_.height(), this};
    panes_.create(panes);
    if (font_) {
        SendMessageA(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
        panes_.set_font(font_.get());
    }
    if (loop_) {
        loop_->accelerators().set_window_table(hwnd(), ui::AcceleratorTable::load(module_, IDR_MAIN_ACCELERATORS).get());
        loop_->accelerators().set_control_table(panes_.accounts().hwnd(),
                                                ui::AcceleratorTable::load(module_, IDR_ACCOUNTS_ACCELERATORS).get(), hwnd());
        loop_->accelerators().set_control_table(panes_.messages().hwnd(),
                                                ui::AcceleratorTable::load(module_, IDR_MESSAGES_ACCELERATORS).get(), hwnd());
    }
    bridge_connection_ = std::make_unique<BridgeConnection>(bridge_, hwnd());
    notifier_ = std::make_unique<Notifier>(Notifier::Args{module_, hwnd(), &settings_, nullptr, nullptr});

    load_accounts();
    if (panes_.accounts().count() == 0 && first_account_)
        first_account_(*this);
    manager_.start();
    started_ = true;
    update_command_states();
    notifier_->put_up(panes_.accounts().accounts());
    tray_timer_.start(hwnd(), kTrayTimer, kTrayTimerMs);

    visible_ = !settings_.hide_start;
    if (visible_) {
        notifier_->set_notification_off(true);
        apply_placement();
    }
    if (panes_.accounts().count() > 0) {
        panes_.accounts().select(0);
        panes_selection_changed();
    }
    InvalidateRect(hwnd(), nullptr, TRUE);
    return true;
}

void MainWindow::build_menus()
{
    menu_bar_ = LoadMenuA(module_, MAKEINTRESOURCEA(IDR_MAIN_MENU));
    ui::PopupMenu accounts = ui::PopupMenu::load_submenu(module_, IDR_ACCOUNTS_MENU);
    ui::PopupMenu messages = ui::PopupMenu::load_submenu(module_, IDR_MESSAGES_MENU);
    std::string accounts_title = platform::message_text(MSG_MENU_ACCOUNTS);
    std::string messages_title = platform::message_text(MSG_MENU_MESSAGES);
    InsertMenuA(menu_bar_, MAIN_MENU_ACCOUNTS_POSITION, MF_BYPOSITION | MF_POPUP,
                reinterpret_cast<UINT_PTR>(accounts.release()), accounts_title.c_str());
    InsertMenuA(menu_bar_, MAIN_MENU_MESSAGES_POSITION, MF_BYPOSITION | MF_POPUP,
                reinterpret_cast<UINT_PTR>(messages.release()), messages_title.c_str());
    SetMenu(hwnd(), menu_bar_);  // the window destroys it with itself
}

void MainWindow::build_toolbar()
{
    toolbar_.attach(ui::create_control(TOOLBARCLASSNAMEA,
                                       WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER,
                                       hwnd(), 0, RECT{0, 0, 0, 0}));
    toolbar_.set_button_struct_size();
    toolbar_.set_bitmap_size(TOOLBAR_IMAGE_SIZE, TOOLBAR_IMAGE_SIZE);
    images_ = ui::ImageList::from_bitmap_strip(module_, IDB_TOOLBAR, TOOLBAR_IMAGE_SIZE, TOOLBAR_MASK_COLOUR);
    disabled_images_ =
        ui::ImageList::from_bitmap_strip(module_, IDB_TOOLBAR_DISABLED, TOOLBAR_IMAGE_SIZE, TOOLBAR_MASK_COLOUR);
    toolbar_.set_image_list(images_.get());
    toolbar_.set_disabled_image_list(disabled_images_.get());

    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (int command : kButtons) {
        TBBUTTON button{};
        if (command == 0) {
            button.fsStyle = BTNS_SEP;
        } else {
            char text[64] = {};
            LoadStringA(module_, static_cast<UINT>(command), text, sizeof text);
            button_texts_.emplace_back(text);
            button.iBitmap = image++;
            button.idCommand = command;
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = BTNS_BUTTON;
        }
        buttons.push_back(button);
    }
    // The texts after the buttons went in: the vector no longer moves.
    std::size_t text = 0;
    for (TBBUTTON& button : buttons)
        if (button.idCommand)
            button.iString = reinterpret_cast<INT_PTR>(button_texts_[text++].c_str());
    toolbar_.add_buttons(buttons);
    toolbar_.auto_size();
}

void MainWindow::load_accounts()
{
    LoadedAccounts loaded = kivo::load_accounts(&manager_);
    if (!loaded.error_text.empty())
        app_log().write_line("Error loading the accounts: %s\n", loaded.error_text.c_str());
    accounts_dirty_ = loaded.changed;
    for (auto& account : loaded.accounts) {
        account->load_registry();
        add_account(std::move(account));
    }
    panes_.accounts().redraw_all();
    tray_accounts_changed();
}

Account& MainWindow::add_account(std::unique_ptr<Account> account)
{
    account->set_check_cycle(&cycle_);
    account->set_host(&bridge_);
    Account& added = *account;
    panes_.accounts().add(std::move(account));
    tray_menu_dirty_ = true;
    return added;
}

bool MainWindow::save_accounts()
{
    std::vector<const Account*> accounts;
    for (Account* account : panes_.accounts().accounts())
        accounts.push_back(account);
    std::string error;
    if (!kivo::save_accounts(accounts, error)) {
        app_log().write_line("Error saving the accounts: %s\n", error.c_str());
        return false;
    }
    accounts_dirty_ = false;
    return true;
}

void MainWindow::layout()
{
    if (!toolbar_ || !status_)
        return;
    toolbar_.auto_size();
    status_.parent_resized();
    RECT client{};
    GetClientRect(hwnd(), &client);
    int top = toolbar_.height() + kBandGap;
    panes_.move(0, top, client.right, client.bottom - top - status_.height());
    RECT band{0, 0, client.right, top};
    InvalidateRect(hwnd(), &band, TRUE);
}

void MainWindow::paint_band()
{
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd(), &paint);
    RECT client{};
    GetClientRect(hwnd(), &client);
    int height = toolbar_.height();
    // The etched frame round the toolbar: grey, then white one pixel down and right.
    RECT grey{0, 0, client.right - 1, height + 4};
    RECT white{1, 1, client.right, height + 5};
    FrameRect(dc, &white, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FrameRect(dc, &grey, GetSysColorBrush(COLOR_BTNSHADOW));
    EndPaint(hwnd(), &paint);
}

void MainWindow::Show(bool show)
{
    if (show) {
        visible_ = true;
        notifier_->set_notification_off(true);
        apply_placement();
        ShowWindow(hwnd(), SW_SHOW);
        InvalidateRect(panes_.accounts().hwnd(), nullptr, TRUE);
        InvalidateRect(panes_.messages().hwnd(), nullptr, TRUE);
        SetForegroundWindow(hwnd());
        read_placement();
    } else {
        hiding_ = true;
        panes_.remember_heights();
        ShowWindow(hwnd(), SW_HIDE);
        hiding_ = false;
        visible_ = false;
        notifier_->set_notification_off(false);
    }
}

void MainWindow::apply_placement()
{
    std::optional<WINDOWPLACEMENT> placement = usable_placement(settings_.placement);
    if (!placement)
        return;
    // Shown or not, SetWindowPlacement would show the window with the stored
    // show state; keep it hidden when it is hidden.
    if (!IsWindowVisible(hwnd()))
        placement->showCmd = SW_HIDE;
    SetWindowPlacement(hwnd(), &*placement);
    placement_applied_ = true;
}

void MainWindow::read_placement()
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(hwnd(), &placement))
        return;
    if (placement.showCmd != SW_SHOWMAXIMIZED)
        placement.showCmd = SW_SHOWNORMAL;
    settings_.placement = placement_bytes(placement);
}

// ---- totals

int MainWindow::UnseenTotal() const
{
    int total = 0;
    for (Account* account : const_cast<Panes&>(panes_).accounts().accounts())
        total += account->new_messages();
    return total;
}

int MainWindow::MessageTotal() const
{
    int total = 0;
    for (Account* account : const_cast<Panes&>(panes_).accounts().accounts())
        total += account->total_messages();
    return total;
}

int MainWindow::MarkedForDeletionTotal() const
{
    int total = 0;
    for (Account* account : const_cast<Panes&>(panes_).accounts().accounts()) {
        if (!account->lock_list())
            continue;
        total += account->count_marked();
        account->unlock_list();
    }
    return total;
}

// ---- command states

void MainWindow::panes_selection_changed()
{
    // The messages list always shows the selected account.
    Account* selected = panes_.accounts().selected();
    if (panes_.messages().shown() != selected)
        panes_.messages().show(selected);
    update_command_states();
}

void MainWindow::update_command_states()
{
    if (updating_states_ || !hwnd())
        return;
    updating_states_ = true;
    CommandFacts facts;
    facts.accounts_focused = GetFocus() == panes_.accounts().hwnd();
    facts.account_rows = static_cast<int>(panes_.accounts().count());
    if (Account* selected = panes_.accounts().selected()) {
        for (std::size_t i = 0; i < panes_.accounts().count(); ++i)
            if (panes_.accounts().at(i) == selected)
                facts.selected_row = static_cast<int>(i);
        facts.selected_state = selected->state();
    }
    facts.message_rows = panes_.messages().row_count();
    facts.selected_messages = panes_.messages().has_selection() ? 1 : 0;
    states_ = CommandStates::of(facts);
    apply_states();
    updating_states_ = false;
}

void MainWindow::apply_states()
{
    ui::Menu menu(menu_bar_);
    for (int command : kStatefulCommands) {
        bool on = states_.enabled(command);
        if (toolbar_.index_of(command) >= 0 && toolbar_.is_button_enabled(command) != on)
            toolbar_.enable_button(command, on);
        menu.set_enabled(static_cast<UINT>(command), on);
    }
    Account* selected = panes_.accounts().selected();
    bool disabled = selected && selected->state() == MSG_STATE_DISABLED;
    menu.set_text(CMD_DISABLE, platform::message_text(disabled ? MSG_MENU_ENABLE : MSG_MENU_DISABLE));
    menu.set_enabled(CMD_DISABLE, selected != nullptr);
    menu.set_enabled(CMD_DELETE_ALL, selected != nullptr);
}

void MainWindow::menu_select(WPARAM wparam, LPARAM)
{
    UINT flags = HIWORD(wparam);
    std::string text;
    if (flags != 0xFFFF && !(flags & (MF_POPUP | MF_SYSMENU)))
        text = help_text(command_help(LOWORD(wparam)).status);
    status_.set_part_text(0, text);
}

// ---- messages

bool MainWindow::on_command(int id, int code, HWND control)
{
    if (control && control != toolbar_.hwnd())
        return false;  // a control's own notification
    (void)code;
    run_command(id);
    return true;
}

bool MainWindow::on_notify(NMHDR* header, LRESULT& result)
{
    if (header->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        static std::string tip;  // the window thread's; read by the tooltip at once
        tip = help_text(command_help(static_cast<int>(header->idFrom)).tooltip);
        info->lpszText = tip.data();
        result = 0;
        return true;
    }
    if (header->hwndFrom == toolbar_.hwnd() && header->code == TBN_HOTITEMCHANGE) {
        auto* hot = reinterpret_cast<NMTBHOTITEM*>(header);
        status_.set_part_text(0, (hot->dwFlags & HICF_LEAVING) ? std::string()
                                                               : help_text(command_help(hot->idNew).status));
        result = 0;
        return true;
    }
    return false;
}

bool MainWindow::on_message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result)
{
    if (bridge_connection_ && bridge_connection_->handle(message, *this)) {
        result = 0;
        return true;
    }
    switch (message) {
    case WM_SIZE:
        if (wparam == SIZE_MINIMIZED) {
            // Minimising hides to the tray; the window itself stays restored.
            ShowWindow(hwnd(), SW_RESTORE);
            Show(false);
            result = 0;
            return true;
        }
        layout();
        return false;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
        RECT frame{0, 0, toolbar_ ? toolbar_.ideal_size().cx + 12 : 0, kMinimumHeight};
        info->ptMinTrackSize.x = frame.right;
        info->ptMinTrackSize.y = frame.bottom;
        result = 0;
        return true;
    }
    case WM_WINDOWPOSCHANGED: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lparam);
        if (visible_ && !hiding_ && !IsIconic(hwnd()) && !(pos->flags & SWP_NOSIZE) && IsWindowVisible(hwnd()))
            read_placement();
        return false;
    }
    case WM_PAINT:
        paint_band();
        result = 0;
        return true;
    case WM_TIMER:
        if (wparam == kTrayTimer) {
            notifier_->tick(panes_.accounts().accounts());
            result = 0;
            return true;
        }
        return false;
    case WM_MENUSELECT:
        menu_select(wparam, lparam);
        result = 0;
        return true;
    case WM_INITMENUPOPUP:
        update_command_states();
        return false;
    case WM_HELP:
        open_help();
        result = TRUE;
        return true;
    case WM_CLOSE:
        Show(false);
        result = 0;
        return true;
    case WM_QUERYENDSESSION:
        result = TRUE;
        return true;
    case WM_ENDSESSION:
        // FALSE: the session goes on (another program refused), so nothing changes.
        if (wparam)
            finish(false);
        result = 0;
        return true;
    case kTrayCallback:
        tray_callback(wparam, lparam);
        result = 0;
        return true;
    default:
        if (notifier_ && notifier_->handle_taskbar_created(message)) {
            result = 0;
            return true;
        }
        return false;
    }
}

// ---- commands

void MainWindow::run_command(int id)
{
    if (finished_)
        return;
    Account* selected = panes_.accounts().selected();
    switch (id) {
    case IDOK:
    case IDCANCEL:
    case CMD_HIDE:
        Show(false);
        break;
    case CMD_HELP_CONTENTS:
        open_help();
        break;
    case CMD_ABOUT:
        show_about();
        break;
    case CMD_NEW_ACCOUNT:
        new_account();
        break;
    case CMD_REMOVE_ACCOUNT:
        remove_selected();
        break;
    case CMD_EDIT_ACCOUNT:
        edit_account();
        break;
    case CMD_CHECK:
        if (selected)
            check_now(*selected);
        break;
    case CMD_SETTINGS:
        open_settings();
        break;
    case CMD_RUN_MAILER:
        run_mailer();
        break;
    case CMD_OPEN:
        Show(true);
        break;
    case CMD_CHECK_ALL:
        check_all();
        break;
    case CMD_EXIT:
        exit_program();
        break;
    case CMD_MOVE_UP:
        move_selected(-1);
        break;
    case CMD_MOVE_DOWN:
        move_selected(+1);
        break;
    case CMD_VIEW_ERRORS:
        view_errors();
        break;
    case CMD_DISABLE:
        toggle_disabled();
        break;
    case CMD_FILTER:
        open_filters();
        break;
    case CMD_DELETE_ALL:
        delete_all_messages();
        break;
    case CMD_NOTIFICATION:
        notifier_->set_notification_off(!notifier_->notification_off());
        tray_menu_dirty_ = true;
        break;
    case CMD_ACCOUNT_COLUMNS:
        panes_.accounts().customize_columns(hwnd());
        break;
    case CMD_MESSAGE_COLUMNS:
        panes_.messages().customize_columns(hwnd());
        break;
    case CMD_DELETE_MESSAGES:
        if (GetFocus() == panes_.accounts().hwnd())
            delete_all_messages();
        else if (panes_.messages().shown() == selected)
            panes_.messages().command(CMD_MARK_DELETED);
        break;
    case CMD_STOP:
        stop_selected();
        break;
    case CMD_SHOW_LOG:
        show_log();
        break;
    case CMD_REPLY:
        if (selected && panes_.messages().shown() == selected)
            panes_.messages().command(CMD_REPLY_MESSAGE);
        break;
    default:
        // Only on the account whose messages are shown, which is the selected one.
        if (is_message_command(id) && selected && panes_.messages().shown() == selected) {
            panes_.messages().command(id);
            tray_accounts_changed();
        }
        break;
    }
    if (!finished_)
        update_command_states();
}

void MainWindow::check_now(Account& account)
{
    if (account.state() == MSG_STATE_DISABLED || !manager_.lock())
        return;
    manager_.stop_account(account);
    account.set_state(MSG_STATE_NOT_STARTED);
    account.start_thread();
    manager_.unlock();
    panes_.accounts().redraw(account);
}

void MainWindow::check_all()
{
    for (Account* account : panes_.accounts().accounts())
        check_now(*account);
}

void MainWindow::stop_selected()
{
    Account* account = panes_.accounts().selected();
    if (!account || !manager_.lock())
        return;
    manager_.stop_account(*account);
    if (account->state() != MSG_STATE_DISABLED)
        account->set_state(MSG_STATE_SLEEPING);
    manager_.unlock();
    account_changed(*account);
}

void MainWindow::toggle_disabled()
{
    Account* account = panes_.accounts().selected();
    if (!account || !manager_.lock())
        return;
    accounts_dirty_ = true;
    if (account->state() == MSG_STATE_DISABLED) {
        account->set_state(MSG_STATE_SLEEPING);
        account->start_thread();
    } else {
        manager_.stop_account(*account);
        account->set_state(MSG_STATE_DISABLED);
    }
    manager_.unlock();
    account->save_registry();
    account_changed(*account);
}

void MainWindow::remove_selected()
{
    Account* account = panes_.accounts().selected();
    if (!account)
        return;
    if (ui::report_message(MSG_REMOVE_ACCOUNT_QUESTION, MB_YESNO | MB_ICONQUESTION, hwnd()) != IDYES)
        return;
    if (!manager_.lock())
        return;
    std::size_t row = 0;
    while (row < panes_.accounts().count() && panes_.accounts().at(row) != account)
        ++row;
    manager_.stop_account(*account);
    // Nothing may point at the account once it is gone: the panes, the
    // bridge's queue, the tray.
    panes_.messages().forget(*account);
    bridge_.forget(*account);
    std::unique_ptr<Account> gone = panes_.accounts().remove(*account);
    manager_.unlock();
    if (gone)
        gone->delete_registry();
    gone.reset();
    accounts_dirty_ = true;
    tray_menu_dirty_ = true;
    save_accounts();
    // The row that took its place is selected, or the new last one.
    std::size_t count = panes_.accounts().count();
    if (count > 0)
        panes_.accounts().select(row < count ? row : count - 1);
    panes_selection_changed();
    tray_accounts_changed();
}

void MainWindow::move_selected(int delta)
{
    if (!manager_.lock())
        return;
    bool moved = panes_.accounts().move_selected(delta);
    manager_.unlock();
    if (moved) {
        accounts_dirty_ = true;
        tray_menu_dirty_ = true;
    }
}

void MainWindow::view_errors()
{
    Account* account = panes_.accounts().selected();
    if (!account)
        return;
    std::string text = account->last_error().empty() ? platform::message_text(MSG_NO_ERROR) : account->last_error();
    std::string caption = platform::message_text(MSG_VIEW_ERRORS_CAPTION);
    MessageBoxA(hwnd(), text.c_str(), caption.c_str(), MB_OK | MB_ICONSTOP);
}

void MainWindow::delete_all_messages()
{
    Account* account = panes_.accounts().selected();
    if (!account)
        return;
    if (panes_.messages().shown() != account)
        panes_.messages().show(account);
    panes_.messages().command(CMD_SELECT_ALL);
    panes_.messages().command(CMD_MARK_DELETED);
    panes_.accounts().redraw(*account);
}

void MainWindow::show_log()
{
    LogViewer viewer(app_log());
    viewer.run_modal({module_, IDD_LOG, hwnd()});
}

void MainWindow::open_help()
{
    std::string target = platform::program_folder() + help::kFile + help::kStartPage;
    ShellExecuteA(hwnd(), "open", "hh.exe", target.c_str(), nullptr, SW_SHOWNORMAL);
}

void MainWindow::exit_program()
{
    if (MarkedForDeletionTotal() != 0 &&
        ui::report_message(MSG_EXIT_MARKED, MB_YESNO | MB_ICONEXCLAMATION, hwnd()) != IDYES)
        return;
    finish(true);
    destroy();
    PostQuitMessage(0);
}

void MainWindow::finish(bool stop_threads)
{
    if (finished_)
        return;
    finished_ = true;
    tray_timer_.stop();
    notifier_->take_down();
    if (stop_threads) {
        manager_.stop_all();
        manager_.stop();
    }
    save_everything();
}

void MainWindow::save_everything()
{
    if (accounts_dirty_)
        save_accounts();
    panes_.save();
    for (Account* account : panes_.accounts().accounts())
        account->save_registry();
    if (visible_ && IsWindowVisible(hwnd()))
        read_placement();
    settings_.Save();
    save_log_settings(app_log());
}

void MainWindow::tray_callback(WPARAM wparam, LPARAM lparam)
{
    std::optional<TrayCommand> command = notifier_->handle_callback(wparam, lparam, panes_.accounts().accounts());
    if (!command)
        return;
    if (command->account_serial == 0) {
        run_command(command->command);
        return;
    }
    // A Check-submenu account that was removed since the menu was built: nothing.
    if (Account* account = panes_.accounts().find(command->account_serial))
        check_now(*account);
}

void MainWindow::tray_accounts_changed()
{
    if (notifier_)
        notifier_->accounts_changed(panes_.accounts().accounts());
}

// ---- HostClient

Account* MainWindow::find_account(std::uint64_t serial) { return panes_.accounts().find(serial); }

void MainWindow::account_changed(Account& account)
{
    panes_.accounts().redraw(account);
    if (panes_.accounts().selected() == &account && !busy(account.state()))
        panes_.messages().show(&account);
    tray_accounts_changed();
    update_command_states();
}

void MainWindow::play_sound(const std::string& file) { notifier_->queue_sound(file); }

void MainWindow::run_file(const std::string& file)
{
    ShellExecuteA(nullptr, "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool MainWindow::run_mailer()
{
    app_log().write_line("RUN MAILER command has received.\n");
    std::string command = mail_client_command(settings_.mail_client, default_client_);
    if (command.empty() || !notify::run_mail_client(command))
        return false;
    for (Account* account : panes_.accounts().accounts())
        mark_all_seen(*account);
    panes_.accounts().redraw_all();
    if (Account* shown = panes_.messages().shown())
        panes_.messages().show(shown);
    tray_accounts_changed();
    return true;
}

void MainWindow::account_marks_changed(Account& account)
{
    panes_.accounts().redraw(account);
    tray_accounts_changed();
}

void MainWindow::reply_to(Account& account, const Message& message)
{
    (void)account;
    notify::reply(message, hwnd());
}

void MainWindow::add_to_filter(int command, const Message& message)
{
    filter_dialogs::add_to_filter(hwnd(), filter_, command, message, window_actions_);
}

bool MainWindow::confirm_deletion(Account& account, const Asking& asking)
{
    return dialogs::confirm_deletion(module_, hwnd(), account, asking, manager_);
}

// ---- the other dialogs, wired in one place each

std::vector<std::string> MainWindow::account_names(const Account* except)
{
    std::vector<std::string> names;
    for (Account* account : panes_.accounts().accounts())
        if (account != except)
            names.push_back(account->name());
    return names;
}

bool MainWindow::run_wizard(bool start_thread)
{
    std::optional<AccountSettings> settings = dialogs::run_account_wizard({module_, hwnd(), account_names(nullptr)});
    if (!settings)
        return false;
    auto account = std::make_unique<Account>(&manager_);
    apply_settings(*account, *settings);
    Account& added = add_account(std::move(account));
    added.save_registry();
    accounts_dirty_ = true;
    save_accounts();
    panes_.accounts().redraw(added);
    panes_.accounts().select(panes_.accounts().count() - 1);
    panes_selection_changed();
    if (start_thread && manager_.lock()) {
        added.start_thread();
        manager_.unlock();
    }
    tray_accounts_changed();
    return true;
}

void MainWindow::new_account() { run_wizard(true); }

void MainWindow::edit_account()
{
    Account* account = panes_.accounts().selected();
    if (!account)
        return;
    AccountSettings settings = settings_of(*account);
    dialogs::AccountDialogArgs args;
    args.module = module_;
    args.owner = hwnd();
    args.other_names = account_names(account);
    args.run_file = [this](const std::string& file) { run_file(file); };
    args.untrusted_fingerprint = account->untrusted_fingerprint();
    if (!dialogs::edit_account(args, settings))
        return;
    std::vector<const Account*> all;
    for (Account* each : panes_.accounts().accounts())
        all.push_back(each);
    std::string error;
    bool applied = apply_account_edit(manager_, *account, settings, all, error);
    if (!applied && !error.empty())
        MessageBoxA(hwnd(), error.c_str(), "Kivo Email Checker Warning", MB_OK | MB_ICONSTOP);
    accounts_dirty_ = !error.empty();
    // A user who has just corrected a server, port or password wants to see
    // it work now, not after a whole interval of the failed state.
    if (applied || !error.empty())  // kivo.dat unwritten: the account runs edited all the same
        check_now(*account);
    tray_menu_dirty_ = true;
    panes_.accounts().redraw(*account);
    if (panes_.messages().shown() == account)
        panes_.messages().show(account);
    update_command_states();
    tray_accounts_changed();
}

void MainWindow::open_settings()
{
    if (!notifier_)
        return;
    if (settings_open_) {
        // Settings from the tray while the sheet is up: show that one.
        if (HWND popup = GetLastActivePopup(hwnd()); popup && popup != hwnd())
            SetForegroundWindow(popup);
        return;
    }
    settings_open_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{settings_open_};
    ChmHelp help(hwnd());
    dialogs::ShellStartupShortcut shortcut;
    NotifierPictures pictures(*notifier_, [this] { tray_accounts_changed(); });
    dialogs::SettingsSheetArgs args;
    args.module = module_;
    args.owner = hwnd();
    args.settings = &settings_;
    args.accounts = panes_.accounts().accounts();
    args.log = &app_log();
    args.help = &help;
    args.shortcut = &shortcut;
    args.tray = &pictures;
    args.default_mail_client = [this] { return default_client_.lookup(); };
    dialogs::SettingsSheetResult result = dialogs::run_settings_sheet(args);
    if (!result.accepted)
        return;
    if (result.font_changed) {
        // The font is for the window and its lists, as at start-up; the
        // toolbar and status bar keep their own (not font_, so they never
        // point at the font that apply_font deletes).
        auto tool_font = SendMessageA(toolbar_.hwnd(), WM_GETFONT, 0, 0);
        auto status_font = SendMessageA(status_.hwnd(), WM_GETFONT, 0, 0);
        if (dialogs::apply_font(hwnd(), settings_.font, font_)) {
            SendMessageA(toolbar_.hwnd(), WM_SETFONT, static_cast<WPARAM>(tool_font), TRUE);
            SendMessageA(status_.hwnd(), WM_SETFONT, static_cast<WPARAM>(status_font), TRUE);
            panes_.set_font(font_.get());
            layout();
        }
    }
    if (result.visual_changed)
        tray_accounts_changed();
}

void MainWindow::open_filters() { filter_dialogs::run_filter_sheet(hwnd(), filter_, window_actions_); }

void MainWindow::show_about() { dialogs::show_about({module_, hwnd(), {}}); }

}  // namespace kivo::app
