#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/host_bridge.h"
#include "ui/dialog.h"

namespace kivo {
class ConnectionManager;
}

namespace kivo::dialogs {

// The "Confirmation" dialog (200): the user approves deleting an account's
// marked messages on the server. It runs on the window thread, at the
// account thread's request (HostClient::confirm_deletion), while that
// thread waits on the answer and its own stop event.
//
// Only one shows at a time: a confirmation asked for while another is open
// (the bridge may be drained from inside the first one's loop) waits in the
// window thread's queue, pumping messages, until every one ahead of it has
// ended. Each removes its own queue entry however it ends.
//
// The OK button counts down "OK(30)" ... "OK(1)" once a second, and the
// dialog ends as Cancel on the tick after that. It ends as Cancel within a
// quarter of a second once the asking account thread gives up (stopped).
// Every tick calls keep_alive, which re-arms the account's time-out, so a
// time-out shorter than the countdown cannot restart the account while the
// user reads.
class DeletionConfirmation : public ui::Dialog {
public:
    static constexpr UINT_PTR kCountdownTimer = 1;  // every 1000 ms
    static constexpr UINT_PTR kWatchTimer = 2;      // every 250 ms: the asker gave up?
    static constexpr int kCountdownStart = 30;

    struct Column {
        std::string title;
        int width = 100;
    };
    struct Args {
        HINSTANCE module = nullptr;  // where template 200 lives
        HWND owner = nullptr;        // the main window
        std::string account_name;    // empty: the general question
        std::vector<Column> columns;
        std::vector<std::vector<std::string>> rows;  // one per marked message
        const HostClient::Asking* asking = nullptr;  // null: never abandoned
        std::function<void()> keep_alive;            // each tick; may be empty
    };

    explicit DeletionConfirmation(Args args);
    ~DeletionConfirmation() override;

    // Waits for its turn, shows the dialog modally and returns true only
    // when the user pressed OK.
    bool run();

    // Confirmations waiting or showing on this thread (for tests).
    static std::size_t queued();

    // The default columns (From, Subject, Date, Size) and one row for each
    // message of the account marked for deletion, taken under its list lock.
    static void fill_from_account(Account& account, Args& args);

protected:
    bool on_init() override;
    void on_ok() override;
    void on_cancel() override;
    void on_timer(UINT_PTR id) override;

private:
    void finish(INT_PTR result);
    bool my_turn() const;
    Args args_;
    int countdown_ = kCountdownStart;
    bool queued_ = false;
    bool finished_ = false;
};

// What HostClient::confirm_deletion does with it: the account's marked
// messages in the default columns, shown over `owner`, each tick re-arming
// the account's time-out through `manager`.
bool confirm_deletion(HINSTANCE module, HWND owner, Account& account, const HostClient::Asking& asking,
                      ConnectionManager& manager);

}  // namespace kivo::dialogs
