// The bridge under real account threads with a real window on this thread:
// the bridge wakes it with posted messages, and another thread keeps sending
// it WM_NULL. Every send must be answered within a second, even while the
// window thread waits for account threads to stop.
#include <doctest/doctest.h>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "app/bridge_connection.h"
#include "platform/sync.h"
#include "support/bridge_scenario.h"
#include "ui/callback_guard.h"
#include "ui/window.h"
#include "ui/window_class.h"

namespace {

using kivo::test::BridgeScenario;

class BridgeWindow : public kivo::ui::Window, public kivo::test::WindowThread {
public:
    explicit BridgeWindow(BridgeScenario& scenario) : scenario_(scenario), class_(GetModuleHandleA(nullptr))
    {
        CreateArgs args;
        args.title = "bridge test";
        args.style = WS_OVERLAPPED;
        create(class_, args);
        connection_.emplace(scenario_.bridge, hwnd());
    }
    ~BridgeWindow() override
    {
        connection_.reset();
        destroy();
    }

    // The window thread's message loop, for a while.
    void pump(std::uint32_t ms) override
    {
        ULONGLONG end = GetTickCount64() + ms;
        for (;;) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
                kivo::ui::rethrow_parked_exception();
            }
            ULONGLONG now = GetTickCount64();
            if (now >= end)
                return;
            MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
    }

protected:
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override
    {
        if (connection_ && connection_->handle(message, scenario_))
            return 0;
        return default_handling(message, wparam, lparam);
    }

private:
    BridgeScenario& scenario_;
    kivo::ui::WindowClass class_;
    std::optional<kivo::app::BridgeConnection> connection_;
};

// Sends WM_NULL to the window every few milliseconds and counts the sends
// that were not answered within 1000 ms.
class Pinger {
public:
    explicit Pinger(HWND window)
        : thread_([this, window] {
              while (!stop_) {
                  DWORD_PTR result = 0;
                  if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result))
                      ++answered_;
                  else
                      ++unanswered_;
                  Sleep(10);
              }
          })
    {
    }
    ~Pinger() { finish(); }
    void finish()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    int answered() const { return answered_; }
    int unanswered() const { return unanswered_; }

private:
    std::atomic<bool> stop_{false};
    std::atomic<int> answered_{0};
    std::atomic<int> unanswered_{0};
    std::thread thread_;
};

}  // namespace

TEST_CASE("bridge window: sent messages are answered while the window thread stops and restarts accounts")
{
    kivo::platform::SentMessageService sent_messages;
    BridgeScenario scenario;
    BridgeWindow window(scenario);
    Pinger pinger(window.hwnd());
    BridgeScenario::Counts counts = scenario.run(window);
    pinger.finish();
    kivo::test::check_bridge_counts(counts);
    CHECK(pinger.unanswered() == 0);
    CHECK(pinger.answered() > 100);
}

TEST_CASE("bridge window: every kind of wait handles sent messages, but only on a thread that services them")
{
    kivo::ui::WindowClass window_class(GetModuleHandleA(nullptr));
    struct Plain : kivo::ui::Window {
        ~Plain() override { destroy(); }
    } plain;
    kivo::ui::Window::CreateArgs args;
    args.style = WS_OVERLAPPED;
    plain.create(window_class, args);
    HWND target = plain.hwnd();

    // Each keeps the window thread waiting for about 600 ms.
    kivo::platform::Event never, never_either;
    kivo::platform::Semaphore empty(0, 1);
    std::vector<std::pair<const char*, std::function<void()>>> waits{
        {"event", [&] { never.wait(600); }},
        {"any event", [&] { kivo::platform::wait_any({&never, &never_either}, 600); }},
        {"semaphore", [&] { empty.acquire(600); }},
        {"thread", [] {
             kivo::platform::Thread slow;
             slow.start([] { Sleep(600); });
             slow.join(5000);
         }},
    };
    auto send_during = [&](const std::function<void()>& wait) {
        kivo::platform::Event sending;
        std::atomic<bool> answered{false};
        std::thread sender([&] {
            DWORD_PTR result = 0;
            sending.set();
            answered = SendMessageTimeoutA(target, WM_NULL, 0, 0, SMTO_NORMAL, 300, &result) != 0;
        });
        sending.wait(10000);
        wait();
        sender.join();
        return answered.load();
    };
    for (const auto& [name, wait] : waits) {
        CAPTURE(name);
        {
            kivo::platform::SentMessageService service;
            CHECK(send_during(wait));
        }
        CHECK_FALSE(send_during(wait));  // proves the check above can fail
    }
}
