#include "app/panes_stand_in.h"

#include "appcore/command_ids.h"
#include "message/message.h"
#include "platform/message_text.h"

namespace kivo::app::stand_in {

std::string AccountsListView::row_text(const Account& account) const
{
    return account.name() + "   " + platform::message_text(account.state()) + "   " +
           std::to_string(account.total_messages()) + " / " + std::to_string(account.new_messages());
}

void AccountsListView::add(std::unique_ptr<Account> account, std::optional<std::size_t> index)
{
    std::size_t at = index && *index < accounts_.size() ? *index : accounts_.size();
    std::string text = row_text(*account);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        accounts_.insert(accounts_.begin() + static_cast<std::ptrdiff_t>(at), std::move(account));
    }
    SendMessageA(hwnd_, LB_INSERTSTRING, at, reinterpret_cast<LPARAM>(text.c_str()));
}

void AccountsListView::redraw(const Account& account)
{
    for (std::size_t i = 0; i < accounts_.size(); ++i)
        if (accounts_[i].get() == &account) {
            int selected = selected_index();
            std::string text = row_text(account);
            SendMessageA(hwnd_, LB_DELETESTRING, i, 0);
            SendMessageA(hwnd_, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(text.c_str()));
            if (selected >= 0)
                SendMessageA(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
        }
}

void AccountsListView::redraw_all()
{
    for (const auto& account : accounts_)
        redraw(*account);
}

std::unique_ptr<Account> AccountsListView::remove(const Account& account)
{
    std::unique_ptr<Account> gone;
    std::lock_guard<std::mutex> lock(mutex_);
    for (std::size_t i = 0; i < accounts_.size(); ++i)
        if (accounts_[i].get() == &account) {
            gone = std::move(accounts_[i]);
            accounts_.erase(accounts_.begin() + static_cast<std::ptrdiff_t>(i));
            SendMessageA(hwnd_, LB_DELETESTRING, i, 0);
            break;
        }
    return gone;
}

bool AccountsListView::move_selected(int delta)
{
    int from = selected_index();
    int to = from + delta;
    if (from < 0 || to < 0 || to >= static_cast<int>(accounts_.size()))
        return false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::swap(accounts_[static_cast<std::size_t>(from)], accounts_[static_cast<std::size_t>(to)]);
    }
    redraw_all();
    select(static_cast<std::size_t>(to));
    return true;
}

int AccountsListView::selected_index() const
{
    LRESULT index = SendMessageA(hwnd_, LB_GETCURSEL, 0, 0);
    return index == LB_ERR || index >= static_cast<LRESULT>(accounts_.size()) ? -1 : static_cast<int>(index);
}

Account* AccountsListView::selected() const
{
    int index = selected_index();
    return index < 0 ? nullptr : accounts_[static_cast<std::size_t>(index)].get();
}

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
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<TimedAccount*> out;
    for (const auto& account : accounts_)
        out.push_back(account.get());
    return out;
}

void AccountsListView::select(std::size_t index) { SendMessageA(hwnd_, LB_SETCURSEL, index, 0); }

void MessagesListView::show(Account* account)
{
    // The same account again keeps its selection.
    std::vector<int> selected;
    if (account == shown_)
        for (int i = 0; i < row_count(); ++i)
            if (SendMessageA(hwnd_, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0)
                selected.push_back(i);
    shown_ = account;
    SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0);
    if (!account || !account->lock_list())
        return;
    for (const auto& message : account->messages()) {
        std::string text = (message->deleted() ? "[x] " : "") + message->from() + "   " + message->subject();
        SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    account->unlock_list();
    for (int i : selected)
        SendMessageA(hwnd_, LB_SETSEL, TRUE, i);
}

void MessagesListView::command(int id)
{
    if (!shown_)
        return;
    int rows = row_count();
    if (id == CMD_SELECT_ALL) {
        SendMessageA(hwnd_, LB_SETSEL, TRUE, static_cast<LPARAM>(-1));
        return;
    }
    if (id != CMD_MARK_DELETED && id != CMD_UNDELETE)
        return;
    if (!shown_->lock_list())
        return;
    MessageList& messages = shown_->messages();
    for (int i = 0; i < rows && i < static_cast<int>(messages.size()); ++i)
        if (SendMessageA(hwnd_, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0) {
            if (id == CMD_MARK_DELETED)
                messages[static_cast<std::size_t>(i)]->mark_deleted();
            else
                messages[static_cast<std::size_t>(i)]->clear_deleted();
        }
    shown_->unlock_list();
    show(shown_);
}

bool MessagesListView::has_selection() const { return SendMessageA(hwnd_, LB_GETSELCOUNT, 0, 0) > 0; }

int MessagesListView::row_count() const { return static_cast<int>(SendMessageA(hwnd_, LB_GETCOUNT, 0, 0)); }

void MessagesListView::forget(const Account& account)
{
    if (shown_ == &account)
        show(nullptr);
}

void Panes::create(const Args& args)
{
    DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    accounts_.attach(CreateWindowExA(0, "LISTBOX", "", style, 0, 0, 10, 10, args.parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(kAccountsId)), args.module, nullptr));
    messages_.attach(CreateWindowExA(0, "LISTBOX", "", style | LBS_EXTENDEDSEL, 0, 0, 10, 10, args.parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMessagesId)), args.module,
                                     nullptr));
    move(args.x, args.y, args.width, args.height);
}

void Panes::move(int x, int y, int width, int height)
{
    int top = height / 3;
    MoveWindow(accounts_.hwnd(), x, y, width, top, TRUE);
    MoveWindow(messages_.hwnd(), x, y + top, width, height - top, TRUE);
}

void Panes::set_font(HFONT font)
{
    SendMessageA(accounts_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageA(messages_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

}  // namespace kivo::app::stand_in
