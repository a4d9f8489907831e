// The deletion confirmation as the product reaches it: a real account
// thread on the fake POP3 server asks through the host bridge, the window
// thread shows dialog 200, and the account is stopped while it is up.
#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/bridge_connection.h"
#include "dialog_probe.h"
#include "dialogs/deletion_confirmation.h"
#include "dialogs/dialog_ids.h"
#include "engine/account.h"
#include "engine/checking_cycle.h"
#include "engine/connection_manager.h"
#include "engine/host_bridge.h"
#include "message/message.h"
#include "message_ids.h"
#include "platform/sync.h"
#include "support/fake_modem.h"
#include "support/fake_pop3.h"
#include "support/message_lines.h"
#include "ui/callback_guard.h"
#include "ui/window.h"
#include "ui/window_class.h"

using kivo::dialogs::DeletionConfirmation;

namespace {

// The main window's part in it: drains the bridge when woken and answers
// confirmations with the product's dialog, over itself.
class HostWindow : public kivo::ui::Window, public kivo::HostClient {
public:
    HostWindow(kivo::HostBridge& bridge, kivo::ConnectionManager& manager, kivo::Account& account)
        : class_(GetModuleHandleA(nullptr)), manager_(manager), account_(account)
    {
        CreateArgs args;
        args.title = "confirmation host";
        args.style = WS_OVERLAPPED;
        create(class_, args);
        connection_.emplace(bridge, hwnd());
    }
    ~HostWindow() override
    {
        connection_.reset();
        destroy();
    }

    int asked = 0;
    std::optional<bool> answer;

    kivo::Account* find_account(std::uint64_t serial) override
    {
        return serial == account_.serial() ? &account_ : nullptr;
    }
    void account_changed(kivo::Account&) override {}
    void play_sound(const std::string&) override {}
    void run_file(const std::string&) override {}
    bool run_mailer() override { return false; }
    bool confirm_deletion(kivo::Account& account, const Asking& asking) override
    {
        ++asked;
        answer = kivo::dialogs::confirm_deletion(GetModuleHandleA(nullptr), hwnd(), account, asking, manager_);
        return *answer;
    }

protected:
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override
    {
        if (connection_ && connection_->handle(message, *this))
            return 0;
        return default_handling(message, wparam, lparam);
    }

private:
    kivo::ui::WindowClass class_;
    kivo::ConnectionManager& manager_;
    kivo::Account& account_;
    std::optional<kivo::app::BridgeConnection> connection_;
};

// Looks for the confirmation from a timer of this thread, so it runs
// inside the dialog's own loop. Once the dialog is up it either presses OK
// or stops the account from another thread (so this one keeps pumping)
// and, when that stop has returned, gives the dialog one watch tick.
class Watcher : public kivo::ui::Window {
public:
    static constexpr UINT_PTR kTimer = 7;

    enum class Answer { stop_account, press_ok };

    Watcher(kivo::ConnectionManager& manager, kivo::Account& account, Answer answer)
        : class_(GetModuleHandleA(nullptr)), manager_(manager), account_(account), answer_(answer)
    {
        CreateArgs args;
        args.title = "confirmation watcher";
        args.style = WS_OVERLAPPED;
        create(class_, args);
        SetTimer(hwnd(), kTimer, 20, nullptr);
    }
    ~Watcher() override
    {
        KillTimer(hwnd(), kTimer);
        if (stopper_.joinable())
            stopper_.join();
        destroy();
    }

    bool done() const { return step_ == 2; }

    // What was seen, for the checks.
    int rows = -1;
    std::string question;
    bool open_after_stop = false;   // still shown once the account thread had ended
    bool closed_by_one_tick = false;  // ended by the first watch tick after the stop

protected:
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override
    {
        if (message == WM_TIMER && wparam == kTimer) {
            tick();
            return 0;
        }
        return default_handling(message, wparam, lparam);
    }

private:
    void tick()
    {
        if (step_ == 0) {
            dialog_ = kivo::test::find_dialog("Confirmation");
            if (!dialog_)
                return;
            rows = static_cast<int>(SendDlgItemMessageA(dialog_, IDC_CONFIRM_LIST, LVM_GETITEMCOUNT, 0, 0));
            question = kivo::test::item_text(dialog_, IDC_CONFIRM_TEXT);
            if (answer_ == Answer::press_ok) {
                kivo::test::click(dialog_, IDOK);
                step_ = 2;
                return;
            }
            stopper_ = std::thread([this] {
                if (manager_.lock()) {
                    manager_.stop_account(account_);
                    manager_.unlock();
                }
                stopped_ = true;
            });
            step_ = 1;
        } else if (step_ == 1) {
            if (!stopped_)
                return;
            // The account thread has ended and its stop is set: the next
            // watch tick, at most a quarter of a second away, must end it.
            open_after_stop = IsWindow(dialog_) != FALSE;
            if (open_after_stop)
                SendMessageA(dialog_, WM_TIMER, DeletionConfirmation::kWatchTimer, 0);
            // Ended: out of the queue at once, its modal loop unwinding.
            closed_by_one_tick = DeletionConfirmation::queued() == 0;
            step_ = 2;
        }
    }

    kivo::ui::WindowClass class_;
    kivo::ConnectionManager& manager_;
    kivo::Account& account_;
    Answer answer_;
    HWND dialog_ = nullptr;
    int step_ = 0;
    std::atomic<bool> stopped_{false};
    std::thread stopper_;
};

void pump_until(const std::function<bool()>& done, ULONGLONG limit_ms)
{
    ULONGLONG end = GetTickCount64() + limit_ms;
    while (!done() && GetTickCount64() < end) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            kivo::ui::rethrow_parked_exception();
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, 50, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

}  // namespace

TEST_CASE("the confirmation through the account thread and the bridge: OK deletes; a stop during it cancels")
{
    kivo::platform::SentMessageService sent_messages;
    kivo::test::FakePop3 server;
    server.add_user("keeper", "secret");
    server.add_message("From: spam@example.com\r\nSubject: offer\r\nMessage-ID: <s@x>\r\n\r\nbuy\r\n");
    server.add_message("From: ann@example.com\r\nSubject: hello\r\nMessage-ID: <h@x>\r\n\r\nhi\r\n");
    std::uint16_t port = server.start();

    kivo::SharedSettings settings;
    kivo::HostBridge bridge{settings};
    kivo::CheckingCycle cycle{&bridge, [](kivo::Account&, kivo::Message&) {}};
    std::vector<kivo::TimedAccount*> listed;
    kivo::ConnectionManager manager{[&] { return listed; }, kivo::test::no_modem(),
                                    [] { return kivo::ConnectionType::lan; }};
    kivo::Account account{&manager};
    account.set_name("Keeper");
    account.set_server(kivo::Url("pop3", "keeper", "secret", "127.0.0.1", "/"));
    account.set_port(port);
    account.set_check_interval(1);
    account.set_timeout(5);
    account.set_deletion_mode(kivo::MSG_DELETION_CONFIRM);
    account.set_check_cycle(&cycle);
    account.set_host(&bridge);
    // The offer was marked for deletion at an earlier check, so the first
    // check asks before deleting it.
    auto marked = std::make_shared<kivo::Message>(
        kivo::test::make_message("From: spam@example.com\nSubject: offer\nMessage-ID: <s@x>\n\nbuy\n"));
    marked->mark_deleted();
    account.messages().push_back(marked);
    listed = {&account};

    Watcher::Answer answer = Watcher::Answer::stop_account;
    SUBCASE("OK deletes the marked message")
    {
        answer = Watcher::Answer::press_ok;
    }
    SUBCASE("a stop while it is shown ends it as Cancel")
    {
        answer = Watcher::Answer::stop_account;
    }

    std::uint64_t kills_before = kivo::platform::Thread::kill_count();
    {
        HostWindow window(bridge, manager, account);
        Watcher watcher(manager, account, answer);
        REQUIRE(manager.start());
        pump_until([&] { return watcher.done() && window.answer.has_value(); }, 30000);

        CHECK(watcher.done());
        CHECK(window.asked == 1);
        REQUIRE(window.answer.has_value());
        CHECK(watcher.rows == 1);
        CHECK(watcher.question == "Delete all marked messages for account 'Keeper' ?");
        if (answer == Watcher::Answer::press_ok) {
            CHECK(*window.answer);
            CHECK(server.wait_for_command("DELE 1"));
        } else {
            CHECK_FALSE(*window.answer);
            CHECK(watcher.closed_by_one_tick);
        }
        CHECK(DeletionConfirmation::queued() == 0);
        manager.stop_all();
        manager.stop();
    }
    // Joined, never killed.
    CHECK(kivo::platform::Thread::kill_count() == kills_before);
    std::vector<std::string> received = server.commands();
    auto deletes = std::count_if(received.begin(), received.end(),
                                 [](const std::string& c) { return c.rfind("DELE", 0) == 0; });
    CHECK(deletes == (answer == Watcher::Answer::press_ok ? 1 : 0));
}
