#include "dialogs/deletion_confirmation.h"

#include <algorithm>
#include <cstdio>
#include <deque>

#include "dialogs/dialog_ids.h"
#include "engine/account.h"
#include "engine/connection_manager.h"
#include "message/message.h"
#include "message_ids.h"
#include "platform/message_text.h"
#include "ui/list_view.h"

namespace kivo::dialogs {
namespace {

// The window thread's confirmations in the order they were asked for; only
// the window thread touches it.
std::deque<const DeletionConfirmation*>& queue()
{
    static std::deque<const DeletionConfirmation*> waiting;
    return waiting;
}

void leave_queue(const DeletionConfirmation* self)
{
    auto& q = queue();
    q.erase(std::remove(q.begin(), q.end(), self), q.end());
}

}  // namespace

DeletionConfirmation::DeletionConfirmation(Args args) : args_(std::move(args)) {}

DeletionConfirmation::~DeletionConfirmation()
{
    if (queued_)
        leave_queue(this);
}

std::size_t DeletionConfirmation::queued() { return queue().size(); }

bool DeletionConfirmation::my_turn() const { return !queue().empty() && queue().front() == this; }

bool DeletionConfirmation::run()
{
    queue().push_back(this);
    queued_ = true;
    auto abandoned = [&] { return args_.asking && args_.asking->abandoned(); };
    // Another confirmation is open further down this thread's stack: wait for
    // it to end, keeping the window thread's messages flowing meanwhile.
    while (!my_turn() && !abandoned()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 250, QS_ALLINPUT);
        MSG msg;
        while (!my_turn() && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                leave_queue(this);
                queued_ = false;
                return false;
            }
            HWND front = queue().empty() ? nullptr : static_cast<const Dialog*>(queue().front())->hwnd();
            if (front && IsDialogMessageA(front, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    bool yes = false;
    if (!abandoned())
        yes = run_modal({args_.module, IDD_CONFIRMATION, args_.owner}) == IDOK;
    if (queued_) {
        leave_queue(this);
        queued_ = false;
    }
    return yes && !abandoned();
}

bool DeletionConfirmation::on_init()
{
    std::string text;
    if (!args_.account_name.empty())
        text = platform::message_text(MSG_CONFIRM_DELETE_ACCOUNT) + " '" + args_.account_name + "' ?";
    else
        text = platform::message_text(MSG_CONFIRM_DELETE_ALL);
    SetDlgItemTextA(hwnd(), IDC_CONFIRM_TEXT, text.c_str());
    SendDlgItemMessageA(hwnd(), IDC_CONFIRM_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconA(nullptr, MAKEINTRESOURCEA(32514))), 0);  // IDI_QUESTION

    ui::ListView list(item(IDC_CONFIRM_LIST));
    list.set_extended_style(LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    for (std::size_t i = 0; i < args_.columns.size(); ++i)
        list.insert_column(static_cast<int>(i), args_.columns[i].title, args_.columns[i].width);
    for (const auto& row : args_.rows) {
        if (row.empty())
            continue;
        int at = list.insert_item(list.count(), row[0]);
        for (std::size_t c = 1; c < row.size() && c < args_.columns.size(); ++c)
            list.set_item_text(at, static_cast<int>(c), row[c]);
    }
    countdown_ = kCountdownStart;
    SetTimer(hwnd(), kCountdownTimer, 1000, nullptr);
    SetTimer(hwnd(), kWatchTimer, 250, nullptr);
    return true;
}

void DeletionConfirmation::finish(INT_PTR result)
{
    if (finished_)
        return;
    finished_ = true;
    KillTimer(hwnd(), kCountdownTimer);
    KillTimer(hwnd(), kWatchTimer);
    // Out of the queue now, so a confirmation waiting above us on the stack
    // can show while this dialog's modal loop unwinds.
    leave_queue(this);
    queued_ = false;
    end(result);
}

void DeletionConfirmation::on_ok() { finish(IDOK); }

void DeletionConfirmation::on_cancel() { finish(IDCANCEL); }

void DeletionConfirmation::on_timer(UINT_PTR id)
{
    if (finished_)
        return;
    if (id == kWatchTimer) {
        if (args_.asking && args_.asking->abandoned())
            finish(IDCANCEL);
        return;
    }
    if (id != kCountdownTimer)
        return;
    if (args_.asking && args_.asking->abandoned()) {
        finish(IDCANCEL);
        return;
    }
    if (countdown_ <= 0) {
        finish(IDCANCEL);
        return;
    }
    if (args_.keep_alive)
        args_.keep_alive();
    char label[32];
    std::snprintf(label, sizeof label, "OK(%d)", countdown_);
    SetDlgItemTextA(hwnd(), IDOK, label);
    --countdown_;
}

void DeletionConfirmation::fill_from_account(Account& account, Args& args)
{
    args.account_name = account.name();
    args.columns = {{platform::message_text(MSG_COLUMN_FROM), 140},
                    {platform::message_text(MSG_COLUMN_SUBJECT), 200},
                    {platform::message_text(MSG_COLUMN_DATE), 120},
                    {platform::message_text(MSG_COLUMN_SIZE), 60}};
    args.rows.clear();
    if (!account.lock_list())
        return;
    for (const auto& message : account.messages())
        if (message && message->deleted())
            args.rows.push_back({message->from(), message->subject(), message->date(), message->size_text()});
    account.unlock_list();
}

bool confirm_deletion(HINSTANCE module, HWND owner, Account& account, const HostClient::Asking& asking,
                      ConnectionManager& manager)
{
    DeletionConfirmation::Args args;
    args.module = module;
    args.owner = owner;
    args.asking = &asking;
    DeletionConfirmation::fill_from_account(account, args);
    // The account's own thread waits meanwhile; its deadline must not pass.
    args.keep_alive = [&manager, &account] { manager.schedule_timeout(static_cast<TimedAccount&>(account)); };
    DeletionConfirmation dialog(std::move(args));
    return dialog.run();
}

}  // namespace kivo::dialogs
