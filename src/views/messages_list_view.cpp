#include "views/messages_list_view.h"

#include <algorithm>
#include <unordered_set>

#include "app/resource_ids.h"
#include "appcore/command_ids.h"
#include "appcore/list_icons.h"
#include "appcore/message_commands.h"
#include "engine/account.h"
#include "message/message.h"
#include "message_ids.h"
#include "ui/device_context.h"
#include "ui/menu.h"
#include "views/accounts_list_view.h"
#include "views/columns_dialog.h"
#include "views/list_messages.h"
#include "views/panes_host.h"
#include "views/preview_pane.h"
#include "views/show_header_dialog.h"
#include "views/header_read_back.h"

namespace kivo::views {
namespace {

// The text of a column; the picture columns have none.
std::string cell_text(std::uint32_t kind, const Message& message)
{
    switch (kind) {
    case MSG_COL_FROM:
        return message.from();
    case MSG_COL_SUBJECT:
        return message.subject();
    case MSG_COL_DATE:
        return message.date();
    case MSG_COL_SIZE:
        return message.size_text();
    default:
        return {};
    }
}

// The account's list lock for one step of the window thread (nests).
class AccountHold {
public:
    explicit AccountHold(Account* account) : account_(account && account->lock_list() ? account : nullptr) {}
    ~AccountHold()
    {
        if (account_)
            account_->unlock_list();
    }
    AccountHold(const AccountHold&) = delete;
    AccountHold& operator=(const AccountHold&) = delete;
    explicit operator bool() const { return account_ != nullptr; }

private:
    Account* account_;
};

void recount_unseen(Account& account)
{
    int unseen = 0;
    for (const auto& message : account.messages())
        if (!message->seen())
            ++unseen;
    account.set_new_messages(unseen);
}

}  // namespace

MessagesListView::MessagesListView() : layout_(ColumnLayout::messages()) {}

MessagesListView::~MessagesListView() = default;

void MessagesListView::create(HINSTANCE module, HWND parent, PanesHost* host, const std::string& controls_key,
                              PreviewPane* preview, AccountsListView* accounts)
{
    module_ = module;
    host_ = host;
    preview_ = preview;
    accounts_ = accounts;
    layout_ = ColumnLayout::messages(controls_key);
    layout_.load();
    list_.attach(ui::create_control(WC_LISTVIEWA,
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS |
                                        LVS_OWNERDRAWFIXED | LVS_SHAREIMAGELISTS,
                                    parent, kControlId, RECT{0, 0, 100, 100}, "", WS_EX_CLIENTEDGE));
    list_.set_extended_style(LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES,
                             LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES);
    icons_ = ui::ImageList::small_icons(7);
    for (int id : {IDI_MESSAGE_DELETED, IDI_MESSAGE_UNCERTAIN, IDI_MESSAGE_SPAMMER, IDI_PRIORITY_HIGH,
                   IDI_PRIORITY_LOW, IDI_ATTACHMENT, IDI_MESSAGE_FRIEND})
        icons_.add_icon_resource(module, id);
    list_.set_image_list(icons_.get());
    attach_bitmap_.reset(static_cast<HBITMAP>(
        LoadImageA(module, MAKEINTRESOURCEA(IDB_HEADER_ATTACH), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
    priority_bitmap_.reset(static_cast<HBITMAP>(
        LoadImageA(module, MAKEINTRESOURCEA(IDB_HEADER_PRIORITY), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
    subclass_ = std::make_unique<ui::Subclass>(
        list_.hwnd(), [this](ui::Subclass& self, UINT message, WPARAM wparam, LPARAM lparam) {
            return list_message(self, message, wparam, lparam);
        });
    set_font(list_.font());
    apply_layout();
}

void MessagesListView::set_font(HFONT font)
{
    if (!font)
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    font_ = font;
    LOGFONTA description{};
    GetObjectA(font, sizeof description, &description);
    description.lfWeight = FW_BOLD;
    bold_font_.reset(CreateFontIndirectA(&description));
    list_.set_font(font);
}

void MessagesListView::apply_layout()
{
    int selected = list_.first_selected();
    list_.delete_all_columns();
    int index = 0;
    for (const ColumnRecord* record : layout_.shown()) {
        bool picture = record->kind == MSG_COL_ATTACH || record->kind == MSG_COL_PRIORITY;
        int at = list_.insert_column(index++, picture ? std::string() : record->name, record->cx,
                                     LVCFMT_LEFT | LVCFMT_BITMAP_ON_RIGHT);
        if (at < 0)
            continue;
        list_.header().set_item_data(at, static_cast<LPARAM>(record->kind));
        if (record->kind == MSG_COL_ATTACH)
            list_.header().set_bitmap(at, attach_bitmap_.get());
        else if (record->kind == MSG_COL_PRIORITY)
            list_.header().set_bitmap(at, priority_bitmap_.get());
    }
    fill_rows();
    if (selected >= 0 && selected < list_.count()) {
        list_.select(selected);
        list_.focus_item(selected);
    }
}

std::shared_ptr<Message> MessagesListView::message_at(int row) const
{
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<std::size_t>(row)] : nullptr;
}

std::vector<std::shared_ptr<Message>> MessagesListView::selected_messages() const
{
    std::vector<std::shared_ptr<Message>> out;
    for (int row : list_.selected_items())
        if (auto message = message_at(row))
            out.push_back(message);
    return out;
}

bool MessagesListView::has_selection() const { return list_.selected_count() > 0; }

int MessagesListView::row_count() const { return list_.count(); }

void MessagesListView::set_row(int row, const Message& message)
{
    list_.set_item_image(row, 0, list_icons::for_marks(message) == list_icons::no_image
                                     ? ui::ListView::kNoImage
                                     : list_icons::for_marks(message));
}

void MessagesListView::fill_rows()
{
    ++filling_;
    list_.delete_all_items();
    const auto shown = layout_.shown();
    for (const auto& message : rows_) {
        int image = list_icons::for_marks(*message);
        // Every cell carries its text, though the rows are drawn here: screen
        // readers and tooltips read the list, not the pixels.
        int row = list_.add_item(shown.empty() ? std::string() : cell_text(shown[0]->kind, *message),
                                 image == list_icons::no_image ? ui::ListView::kNoImage : image,
                                 static_cast<LPARAM>(message->key()));
        for (std::size_t column = 1; column < shown.size(); ++column)
            list_.set_item_text(row, static_cast<int>(column), cell_text(shown[column]->kind, *message));
    }
    --filling_;
}

void MessagesListView::show(Account* account)
{
    if (!account) {
        seen_timer_.stop();
        ++filling_;
        list_.delete_all_items();
        --filling_;
        rows_.clear();
        account_ = nullptr;
        if (preview_)
            preview_->clear();
        if (host_)
            host_->panes_selection_changed();
        return;
    }
    AccountHold hold(account);
    if (!hold)
        return;  // the account thread holds it too long: keep what is shown
    const bool same = account == account_;
    std::unordered_set<std::uint32_t> selected_keys;
    std::optional<std::uint32_t> focused_key;
    int scroll = preview_ ? preview_->scroll_line() : 0;
    if (same) {
        for (int row : list_.selected_items())
            selected_keys.insert(static_cast<std::uint32_t>(list_.item_data(row)));
        int focused = list_.focused_item();
        if (focused >= 0)
            focused_key = static_cast<std::uint32_t>(list_.item_data(focused));
    }
    const MessageList& messages = account->messages();
    bool keep = same && !messages.empty() && static_cast<int>(messages.size()) == list_.count();
    if (keep) {
        std::unordered_set<std::uint32_t> row_keys;
        for (int row = 0; row < list_.count(); ++row)
            row_keys.insert(static_cast<std::uint32_t>(list_.item_data(row)));
        keep = std::all_of(messages.begin(), messages.end(),
                           [&](const auto& message) { return row_keys.count(message->key()) != 0; });
    }
    account_ = account;
    ++filling_;
    if (keep) {
        // The rows stay; their records become the account's current ones.
        for (int row = 0; row < list_.count(); ++row) {
            auto key = static_cast<std::uint32_t>(list_.item_data(row));
            if (auto current = account->find_by_key(key)) {
                rows_[static_cast<std::size_t>(row)] = current;
                set_row(row, *current);
            }
        }
        list_.redraw_items(list_.top_index(), list_.top_index() + list_.count_per_page());
    } else {
        rows_ = messages;
        fill_rows();
    }
    for (int row = 0; row < list_.count(); ++row) {
        auto key = static_cast<std::uint32_t>(list_.item_data(row));
        list_.select(row, selected_keys.count(key) != 0);
        if (focused_key && *focused_key == key)
            list_.focus_item(row);
    }
    --filling_;
    if (preview_) {
        preview_->show(message_at(list_.focused_item()).get());
        if (keep)
            preview_->set_scroll_line(scroll);
    }
    if (host_)
        host_->panes_selection_changed();
}

void MessagesListView::forget(const Account& account)
{
    if (account_ != &account)
        return;
    show(nullptr);
}

void MessagesListView::start_seen_timer()
{
    auto focused = message_at(list_.focused_item());
    if (focused && !focused->seen())
        seen_timer_.start(list_.hwnd(), kSeenTimer, kSeenDelayMs);
}

void MessagesListView::on_seen_timer()
{
    seen_timer_.stop();
    mark(CMD_MARK_READ);
}

void MessagesListView::focused_changed()
{
    if (filling_)
        return;
    if (preview_)
        preview_->show(message_at(list_.focused_item()).get());
    if (GetFocus() == list_.hwnd())
        start_seen_timer();
    if (host_)
        host_->panes_selection_changed();
}

void MessagesListView::mark(int id)
{
    if (!account_)
        return;
    Account& account = *account_;
    {
        AccountHold hold(account_);
        if (!hold)
            return;
        for (int row : list_.selected_items()) {
            // The account's current record: a check may have replaced the list.
            auto message = account.find_by_key(static_cast<std::uint32_t>(list_.item_data(row)));
            if (!message)
                message = message_at(row);
            if (!message)
                continue;
            switch (id) {
            case CMD_MARK_READ:
                message->set_seen();
                break;
            case CMD_MARK_UNREAD:
                message->clear_seen();
                break;
            case CMD_MARK_DELETED:
                message->mark_deleted();
                break;
            case CMD_UNDELETE:
                message->clear_deleted();
                break;
            default:
                break;
            }
            set_row(row, *message);
            list_.redraw_items(row, row);
        }
        recount_unseen(account);
    }
    if (accounts_)
        accounts_->redraw(account);
    if (host_) {
        host_->account_marks_changed(account);
        host_->panes_selection_changed();
    }
}

void MessagesListView::command(int id)
{
    switch (id) {
    case CMD_MARK_READ:
    case CMD_MARK_UNREAD:
    case CMD_MARK_DELETED:
    case CMD_UNDELETE:
        mark(id);
        return;
    case CMD_SELECT_ALL:
        list_.select(-1);
        if (host_)
            host_->panes_selection_changed();
        return;
    case CMD_SHOW_HEADER:
        show_header_dialog();
        return;
    default:
        break;
    }
    int row = list_.is_selected(list_.focused_item()) ? list_.focused_item() : list_.first_selected();
    auto message = message_at(row);
    if (!message || !account_ || !host_)
        return;
    switch (id) {
    case CMD_REPLY_MESSAGE:
        host_->reply_to(*account_, *message);
        return;
    case CMD_ADD_TO_POWER:
    case CMD_ADD_TO_FRIENDS:
    case CMD_ADD_TO_FROM:
    case CMD_ADD_TO_SUBJECT:
    case CMD_ADD_TO_SPAMMERS:
        host_->add_to_filter(id, *message);
        return;
    default:
        return;  // 40035 and anything else: nothing
    }
}

void MessagesListView::show_header_dialog()
{
    int row = list_.is_selected(list_.focused_item()) ? list_.focused_item() : list_.first_selected();
    auto message = message_at(row);
    if (!message)
        return;
    run_show_header(module_, GetAncestor(list_.hwnd(), GA_ROOT), message->header_text());
}

void MessagesListView::update_menu_states(HMENU handle) const
{
    std::vector<const Message*> selected;
    auto messages = selected_messages();
    for (const auto& message : messages)
        selected.push_back(message.get());
    MessageCommandStates states = MessageCommandStates::for_selection(selected);
    ui::Menu menu(handle);
    menu.set_enabled(CMD_MARK_READ, states.mark_read);
    menu.set_enabled(CMD_MARK_UNREAD, states.mark_unread);
    menu.set_enabled(CMD_MARK_DELETED, states.remove);
    menu.set_enabled(CMD_UNDELETE, states.undelete);
    menu.set_enabled(CMD_SELECT_ALL, states.select_all);
    for (int id : {CMD_SHOW_HEADER, CMD_REPLY_MESSAGE, CMD_ADD_TO_POWER, CMD_ADD_TO_FRIENDS, CMD_ADD_TO_FROM, CMD_ADD_TO_SUBJECT,
                   CMD_ADD_TO_SPAMMERS})
        menu.set_enabled(static_cast<UINT>(id), states.per_message);
}

void MessagesListView::context_menu(POINT at)
{
    if (at.x == -1 && at.y == -1) {
        RECT row = list_.item_rect(std::max(list_.focused_item(), 0));
        at = POINT{row.left + 8, row.bottom};
        ClientToScreen(list_.hwnd(), &at);
    }
    ui::PopupMenu menu = ui::PopupMenu::load_submenu(module_, IDR_MESSAGES_MENU);
    update_menu_states(menu.get());
    UINT chosen = menu.choose(list_.hwnd(), at);
    if (chosen != 0)
        command(static_cast<int>(chosen));
}

void MessagesListView::read_back_header() { views::read_back_header(list_, layout_); }

void MessagesListView::save_layout() const
{
    const_cast<MessagesListView*>(this)->read_back_header();
    layout_.save();
}

bool MessagesListView::customize_columns(HWND owner)
{
    read_back_header();
    if (!run_columns_dialog(module_, owner, layout_))
        return false;
    layout_.save();
    apply_layout();
    return true;
}

bool MessagesListView::on_draw_item(DRAWITEMSTRUCT& item)
{
    if (item.hwndItem != list_.hwnd())
        return false;
    int row = static_cast<int>(item.itemID);
    auto message = message_at(row);
    HDC dc = item.hDC;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (!message)
        return true;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    ui::Selection font(dc, message->seen() ? font_ : bold_font_.get());
    const SIZE icon = icons_.image_size();
    int column = 0;
    for (const ColumnRecord* record : layout_.shown()) {
        RECT cell = column == 0 ? list_.item_rect(row, LVIR_LABEL) : list_.sub_item_rect(row, column, LVIR_BOUNDS);
        if (column == 0) {
            RECT icon_rect = list_.item_rect(row, LVIR_ICON);
            int image = list_icons::for_marks(*message);
            if (image != list_icons::no_image)
                icons_.draw(image, dc, icon_rect.left, icon_rect.top + (icon_rect.bottom - icon_rect.top - icon.cy) / 2);
        }
        ++column;
        std::string text = cell_text(record->kind, *message);
        int image = list_icons::no_image;
        switch (record->kind) {
        case MSG_COL_PRIORITY:
            image = list_icons::for_priority(message->priority());
            break;
        case MSG_COL_ATTACH:
            image = list_icons::for_attachment(*message);
            break;
        default:
            break;
        }
        if (image != list_icons::no_image) {
            icons_.draw(image, dc, cell.left + 2, cell.top + (cell.bottom - cell.top - icon.cy) / 2);
            continue;
        }
        RECT text_rect = cell;
        text_rect.left += 4;
        text_rect.right -= 2;
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &text_rect,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &item.rcItem);
    return true;
}

bool MessagesListView::on_notify(NMHDR* header, LRESULT& result)
{
    result = 0;
    if (header->hwndFrom == list_.header().hwnd()) {
        if (header->code == HDN_ENDTRACKA || header->code == HDN_ENDTRACKW || header->code == HDN_ENDDRAG) {
            PostMessageA(list_.hwnd(), kReadBackHeader, 0, 0);
            PostMessageA(list_.hwnd(), kRefillRows, 0, 0);
        }
        return false;
    }
    if (header->hwndFrom != list_.hwnd())
        return false;
    switch (header->code) {
    case LVN_ITEMCHANGED: {
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if ((change->uChanged & LVIF_STATE) &&
            ((change->uNewState ^ change->uOldState) & (LVIS_SELECTED | LVIS_FOCUSED)))
            focused_changed();
        return true;
    }
    case LVN_KEYDOWN:
        if (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == VK_DELETE)
            command(CMD_MARK_DELETED);
        return true;
    case NM_RETURN:
        command(CMD_SHOW_HEADER);
        return true;
    case NM_CLICK:
    case NM_RCLICK:
        start_seen_timer();
        return false;
    default:
        return false;
    }
}

LRESULT MessagesListView::list_message(ui::Subclass& self, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_TIMER:
        if (wparam == kSeenTimer) {
            on_seen_timer();
            return 0;
        }
        break;
    case WM_SETFOCUS: {
        LRESULT result = self.next(message, wparam, lparam);
        start_seen_timer();
        if (host_)
            host_->panes_selection_changed();
        return result;
    }
    case WM_KILLFOCUS:
        seen_timer_.stop();
        break;
    case WM_CONTEXTMENU:
        context_menu(POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))});
        return 0;
    case WM_COMMAND:
        if (lparam == 0) {
            command(LOWORD(wparam));
            return 0;
        }
        break;
    case WM_SYSKEYDOWN:
        if (wparam == VK_RETURN) {
            command(CMD_SHOW_HEADER);
            return 0;
        }
        break;
    case WM_KEYDOWN:
        if (wparam == VK_TAB && tab_to_next(list_.hwnd(), GetKeyState(VK_SHIFT) < 0))
            return 0;
        break;
    case kReadBackHeader:
        read_back_header();
        return 0;
    case kRefillRows:
        InvalidateRect(list_.hwnd(), nullptr, TRUE);
        return 0;
    default:
        break;
    }
    return self.next(message, wparam, lparam);
}

}  // namespace kivo::views
