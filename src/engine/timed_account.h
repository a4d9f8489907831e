#pragma once
#include <cstdint>
#include <string>

#include "platform/sync.h"

namespace kivo {

// What the connection manager needs of an account: its time-out, its stop
// event, and the start and stop of its checking thread.
class TimedAccount {
public:
    virtual ~TimedAccount() = default;
    virtual std::string account_name() const = 0;
    virtual std::int32_t timeout_seconds() const = 0;
    virtual platform::Event& stop_event() = 0;
    // Fails when a thread runs already or the account is disabled.
    virtual bool start_thread() = 0;
    virtual void signal_stop() = 0;
    // Waits for the thread to end (killing it after the grace as a last
    // resort); false only when there was no thread.
    virtual bool wait_thread() = 0;
};

}  // namespace kivo
