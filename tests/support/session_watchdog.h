#pragma once
#include <atomic>

#include "engine/account.h"
#include "platform/sync.h"

namespace kivo::test {

// Counts the time-out re-arms and breaks a session that hangs, so a fault
// fails the test instead of stalling the run.
class Watchdog : public AccountOwner {
public:
    void schedule_timeout(Account&) override { ++rearms; }
    void guard(Account& account)
    {
        account_ = &account;
        thread_.start([this] {
            if (!done_.wait(20000)) {
                fired = true;
                account_->stop_event().set();
            }
        });
    }
    ~Watchdog() override
    {
        done_.set();
        thread_.join(platform::kInfinite);
    }
    std::atomic<int> rearms{0};
    std::atomic<bool> fired{false};

private:
    Account* account_ = nullptr;
    platform::Event done_;
    platform::Thread thread_;
};

}  // namespace kivo::test
