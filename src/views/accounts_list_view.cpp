#include "views/accounts_list_view.h"

#include <algorithm>
#include <ctime>

#include "app/resource_ids.h"
#include "appcore/command_ids.h"
#include "appcore/list_icons.h"
#include "appcore/pane_texts.h"
#include "engine/account.h"
#include "message_ids.h"
#include "platform/message_text.h"
#include "ui/menu.h"
#include "views/columns_dialog.h"
#include "views/list_messages.h"
#include "views/panes_host.h"
#include "views/header_read_back.h"

namespace kivo::views {
namespace {

// Holds the accounts list's semaphore for one change of the list.
class ListHold {
public:
    explicit ListHold(platform::Semaphore& lock) : lock_(lock) { lock_.acquire(platform::kInfinite); }
    ~ListHold() { lock_.release(); }
    ListHold(const ListHold&) = delete;
    ListHold& operator=(const ListHold&) = delete;

private:
    platform::Semaphore& lock_;
};

std::string last_check_text(std::time_t when)
{
    if (when == 0)
        return {};
    std::tm local{};
    if (localtime_s(&local, &when) != 0)
        return {};
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

std::int64_t mailbox_size_of(Account& account)
{
    if (!account.lock_list())
        return 0;
    std::int64_t size = AccountSort::mailbox_size(account);
    account.unlock_list();
    return size;
}

}  // namespace

AccountsListView::AccountsListView() : layout_(ColumnLayout::accounts()) {}

// The list window goes with the splitter (Panes destroys it first).
AccountsListView::~AccountsListView() = default;

void AccountsListView::create(HINSTANCE module, HWND parent, PanesHost* host, const std::string& controls_key)
{
    module_ = module;
    host_ = host;
    layout_ = ColumnLayout::accounts(controls_key);
    layout_.load();
    list_.attach(ui::create_control(WC_LISTVIEWA,
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                        LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                                    parent, kControlId, RECT{0, 0, 100, 100}, "", WS_EX_CLIENTEDGE));
    list_.set_extended_style(LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    icons_ = ui::ImageList::small_icons(4);
    for (int id : {IDI_ACCOUNT_CHECKING, IDI_ACCOUNT_IDLE, IDI_ACCOUNT_FAILED, IDI_ACCOUNT_DISABLED})
        icons_.add_icon_resource(module, id);
    list_.set_image_list(icons_.get());
    ascending_.reset(static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(IDB_SORT_ASCENDING), IMAGE_BITMAP, 0,
                                                     0, LR_LOADMAP3DCOLORS)));
    descending_.reset(static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(IDB_SORT_DESCENDING), IMAGE_BITMAP,
                                                      0, 0, LR_LOADMAP3DCOLORS)));
    subclass_ = std::make_unique<ui::Subclass>(
        list_.hwnd(), [this](ui::Subclass& self, UINT message, WPARAM wparam, LPARAM lparam) {
            return list_message(self, message, wparam, lparam);
        });
    apply_layout();
}

void AccountsListView::apply_layout()
{
    int selected = list_.first_selected();
    list_.delete_all_columns();
    int index = 0;
    for (const ColumnRecord* record : layout_.shown()) {
        int at = list_.insert_column(index, record->name, record->cx, LVCFMT_LEFT | LVCFMT_BITMAP_ON_RIGHT);
        if (at >= 0)
            list_.header().set_item_data(at, static_cast<LPARAM>(record->kind));
        ++index;
    }
    show_sort_arrow();
    refill();
    if (selected >= 0 && selected < list_.count()) {
        list_.select(selected);
        list_.focus_item(selected);
    }
}

void AccountsListView::show_sort_arrow()
{
    ui::HeaderControl header = list_.header();
    for (int i = 0; i < header.count(); ++i) {
        bool sorted = sort_.kind() != 0 && static_cast<std::uint32_t>(header.item_data(i)) == sort_.kind();
        header.set_bitmap(i, sorted ? (sort_.descending() ? descending_.get() : ascending_.get()) : nullptr);
    }
}

int AccountsListView::row_of(const Account& account) const
{
    return list_.find_item_data(reinterpret_cast<LPARAM>(&account));
}

void AccountsListView::fill_row(int row, const Account& const_account)
{
    Account& account = const_cast<Account&>(const_account);  // the size needs the list lock
    list_.set_item_image(row, 0, list_icons::for_account_state(account.state()));
    int column = 0;
    for (const ColumnRecord* record : layout_.shown()) {
        std::string text;
        switch (record->kind) {
        case MSG_COL_ACCOUNT:
            text = account.name();
            break;
        case MSG_COL_SERVER:
            text = account.server().host();
            break;
        case MSG_COL_USER:
            text = account.server().user();
            break;
        case MSG_COL_TOTAL_MSGS:
            text = std::to_string(static_cast<std::uint32_t>(account.total_messages()));
            break;
        case MSG_COL_NEW_MESSAGES:
            text = std::to_string(static_cast<std::uint32_t>(account.new_messages()));
            break;
        case MSG_COL_STATE:
            text = platform::message_text(account.state());
            break;
        case MSG_COL_LAST_CHECK:
            text = last_check_text(account.last_check());
            break;
        case MSG_COL_MAILBOX_SIZE:
            text = mailbox_size_text(mailbox_size_of(account));
            break;
        default:
            break;
        }
        list_.set_item_text(row, column++, text);
    }
}

void AccountsListView::refill()
{
    list_.delete_all_items();
    for (const auto& account : accounts_) {
        int row = list_.add_item("", list_icons::for_account_state(account->state()),
                                 reinterpret_cast<LPARAM>(account.get()));
        if (row >= 0)
            fill_row(row, *account);
    }
}

void AccountsListView::add(std::unique_ptr<Account> account, std::optional<std::size_t> index)
{
    Account* raw = account.get();
    std::size_t at = std::min(index.value_or(accounts_.size()), accounts_.size());
    {
        ListHold hold(lock_);
        accounts_.insert(accounts_.begin() + static_cast<std::ptrdiff_t>(at), std::move(account));
    }
    int row = list_.insert_item(static_cast<int>(at), "", list_icons::for_account_state(raw->state()),
                                reinterpret_cast<LPARAM>(raw));
    if (row >= 0)
        fill_row(row, *raw);
}

void AccountsListView::redraw(const Account& account)
{
    int row = row_of(account);
    if (row >= 0)
        fill_row(row, account);
}

void AccountsListView::redraw_all()
{
    for (int row = 0; row < list_.count(); ++row)
        if (auto* account = reinterpret_cast<Account*>(list_.item_data(row)))
            fill_row(row, *account);
}

std::unique_ptr<Account> AccountsListView::remove(const Account& account)
{
    std::unique_ptr<Account> out;
    {
        ListHold hold(lock_);
        auto found = std::find_if(accounts_.begin(), accounts_.end(),
                                  [&](const std::unique_ptr<Account>& a) { return a.get() == &account; });
        if (found == accounts_.end())
            return nullptr;
        out = std::move(*found);
        accounts_.erase(found);
    }
    int row = row_of(account);
    if (row >= 0)
        list_.delete_item(row);
    return out;
}

bool AccountsListView::move_selected(int delta)
{
    int row = list_.first_selected();
    int to = row + delta;
    if (row < 0 || (delta != -1 && delta != 1) || to < 0 || to >= static_cast<int>(accounts_.size()))
        return false;
    {
        ListHold hold(lock_);
        std::swap(accounts_[static_cast<std::size_t>(row)], accounts_[static_cast<std::size_t>(to)]);
    }
    for (int r : {row, to}) {
        list_.set_item_data(r, reinterpret_cast<LPARAM>(accounts_[static_cast<std::size_t>(r)].get()));
        fill_row(r, *accounts_[static_cast<std::size_t>(r)]);
    }
    list_.select(row, false);
    list_.select(to);
    list_.focus_item(to);
    list_.ensure_visible(to);
    return true;
}

Account* AccountsListView::selected() const
{
    int row = list_.first_selected();
    return row >= 0 ? reinterpret_cast<Account*>(list_.item_data(row)) : nullptr;
}

Account* AccountsListView::at(std::size_t index) const
{
    return index < accounts_.size() ? accounts_[index].get() : nullptr;
}

std::size_t AccountsListView::count() const { return accounts_.size(); }

Account* AccountsListView::find(std::uint64_t serial) const
{
    for (const auto& account : accounts_)
        if (account->serial() == serial)
            return account.get();
    return nullptr;
}

std::vector<Account*> AccountsListView::accounts() const
{
    std::vector<Account*> out;
    for (const auto& account : accounts_)
        out.push_back(account.get());
    return out;
}

std::vector<TimedAccount*> AccountsListView::snapshot()
{
    ListHold hold(lock_);
    std::vector<TimedAccount*> out;
    for (const auto& account : accounts_)
        out.push_back(account.get());
    return out;
}

void AccountsListView::select(std::size_t index)
{
    if (index >= static_cast<std::size_t>(list_.count()))
        return;
    int row = static_cast<int>(index);
    list_.select(row);
    list_.focus_item(row);
    list_.ensure_visible(row);
}

void AccountsListView::sort_by_header_item(int item)
{
    if (!sort_.click(static_cast<std::uint32_t>(list_.header().item_data(item))))
        return;
    Account* was_selected = selected();
    {
        ListHold hold(lock_);
        std::stable_sort(accounts_.begin(), accounts_.end(),
                         [&](const std::unique_ptr<Account>& a, const std::unique_ptr<Account>& b) {
                             return sort_.compare(*a, *b) < 0;
                         });
    }
    refill();
    if (was_selected) {
        int row = row_of(*was_selected);
        list_.select(row);
        list_.focus_item(row);
        list_.ensure_visible(row);
    }
    show_sort_arrow();
}

void AccountsListView::read_back_header() { views::read_back_header(list_, layout_); }

void AccountsListView::save_layout() const
{
    const_cast<AccountsListView*>(this)->read_back_header();
    layout_.save();
}

bool AccountsListView::customize_columns(HWND owner)
{
    read_back_header();
    if (!run_columns_dialog(module_, owner, layout_))
        return false;
    layout_.save();
    apply_layout();
    return true;
}

void AccountsListView::prepare_menu(HMENU handle) const
{
    ui::Menu menu(handle);
    menu.set_default(CMD_CHECK);
    Account* account = selected();
    bool disabled = account && account->state() == MSG_STATE_DISABLED;
    menu.set_text(CMD_DISABLE, platform::message_text(disabled ? MSG_VIEWS_ENABLE : MSG_VIEWS_DISABLE));
    menu.set_enabled(CMD_CHECK, account && !disabled);
}

void AccountsListView::context_menu(POINT at)
{
    if (at.x == -1 && at.y == -1) {
        RECT row = list_.item_rect(std::max(list_.first_selected(), 0));
        at = POINT{row.left + 8, row.bottom};
        ClientToScreen(list_.hwnd(), &at);
    }
    ui::PopupMenu menu = ui::PopupMenu::load_submenu(module_, IDR_ACCOUNTS_CONTEXT_MENU);
    prepare_menu(menu.get());
    UINT chosen = menu.choose(list_.hwnd(), at);
    if (chosen != 0 && host_)
        host_->pane_command(static_cast<int>(chosen));
}

bool AccountsListView::on_notify(NMHDR* header, LRESULT& result)
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
    case LVN_COLUMNCLICK:
        sort_by_header_item(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
        return true;
    case LVN_ITEMCHANGED: {
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if ((change->uChanged & LVIF_STATE) &&
            ((change->uNewState ^ change->uOldState) & (LVIS_SELECTED | LVIS_FOCUSED)) && host_)
            host_->panes_selection_changed();
        return true;
    }
    case NM_RETURN:
        if (host_)
            host_->pane_command(CMD_CHECK);
        return true;
    case NM_CUSTOMDRAW:
        result = paint_unfocused_selection(*reinterpret_cast<NMLVCUSTOMDRAW*>(header));
        return true;
    case NM_CLICK:
    case NM_RCLICK:
    case NM_SETFOCUS:
        if (host_)
            host_->panes_selection_changed();
        return false;
    default:
        return false;
    }
}

// With the focus in the messages list the selected account must still be
// plain to see: the list's own unfocused selection (button face) is close to
// the window colour, so it is drawn in a pale tint of the highlight colour,
// as current Windows themes do.
LRESULT AccountsListView::paint_unfocused_selection(NMLVCUSTOMDRAW& draw) const
{
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT || GetFocus() == list_.hwnd())
        return CDRF_DODEFAULT;
    auto row = static_cast<int>(draw.nmcd.dwItemSpec);
    if (!(ListView_GetItemState(list_.hwnd(), row, LVIS_SELECTED) & LVIS_SELECTED))
        return CDRF_DODEFAULT;
    draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED);
    COLORREF window = GetSysColor(COLOR_WINDOW);
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    auto tint = [](BYTE back, BYTE over) { return static_cast<BYTE>((back * 3 + over) / 4); };
    draw.clrTextBk = RGB(tint(GetRValue(window), GetRValue(highlight)), tint(GetGValue(window), GetGValue(highlight)),
                         tint(GetBValue(window), GetBValue(highlight)));
    draw.clrText = GetSysColor(COLOR_WINDOWTEXT);
    return CDRF_NEWFONT;
}

LRESULT AccountsListView::list_message(ui::Subclass& self, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_CONTEXTMENU:
        context_menu(POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))});
        return 0;
    case kReadBackHeader:
        read_back_header();
        return 0;
    case kRefillRows:
        redraw_all();
        return 0;
    case WM_KEYDOWN:
        if (wparam == VK_TAB && tab_to_next(list_.hwnd(), GetKeyState(VK_SHIFT) < 0))
            return 0;
        break;
    default:
        break;
    }
    return self.next(message, wparam, lparam);
}

}  // namespace kivo::views
