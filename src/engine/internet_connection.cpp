#include "engine/internet_connection.h"

#include "platform/clock.h"

namespace kivo {

using platform::kConnectionLan;
using platform::kConnectionModem;
using platform::kConnectionRasInstalled;

InternetConnection::InternetConnection(std::unique_ptr<platform::DialupApi> api, TypeSource type)
    : api_(std::move(api)), type_(std::move(type))
{
}

void InternetConnection::set_poll(std::uint32_t interval_ms, std::uint32_t limit_ms)
{
    poll_interval_ms_ = interval_ms;
    poll_limit_ms_ = limit_ms;
}

int InternetConnection::use_count() const
{
    platform::CriticalSectionLock guard(dial_lock_);
    return use_count_;
}

bool InternetConnection::was_up_before() const
{
    platform::CriticalSectionLock guard(dial_lock_);
    return was_up_before_;
}

bool InternetConnection::modem_needed(std::uint32_t flags) const
{
    // Only a dial-up set-up with a modem configured is ever dialled.
    return (flags & kConnectionRasInstalled) && type_ && type_() == ConnectionType::dialup_modem &&
           (flags & kConnectionModem);
}

bool InternetConnection::connect()
{
    if (!api_ || !api_->usable())
        return true;  // no dial-up support: the network is assumed to be there
    std::uint32_t flags = 0;
    bool up = api_->connected_state(flags);
    if (!modem_needed(flags))
        return true;

    platform::CriticalSectionLock guard(dial_lock_);
    if (up) {
        if (use_count_ > 0)
            ++use_count_;
        else
            was_up_before_ = true;
        return true;
    }
    if (use_count_ > 0) {
        ++use_count_;
        return true;
    }
    if (!api_->autodial())
        return false;
    ++use_count_;
    // The dialled connection takes a moment to be reported; bounded, so a
    // line that never comes up does not hold every other account's dialling.
    std::uint32_t start = platform::tick_count();
    platform::Event never;
    while (!api_->connected_state(flags)) {
        if (platform::tick_count() - start >= poll_limit_ms_)
            break;
        never.wait(poll_interval_ms_);
    }
    return true;
}

void InternetConnection::release()
{
    if (!api_ || !api_->usable())
        return;
    std::uint32_t flags = 0;
    bool up = api_->connected_state(flags);

    platform::CriticalSectionLock guard(dial_lock_);
    if (up && modem_needed(flags) && !was_up_before_ && use_count_ == 1)
        api_->hangup();
    // The use is over even when the line has dropped meanwhile; otherwise the
    // count would never return to 0 and the program would never dial again.
    if (use_count_ > 0)
        --use_count_;
    // A connection found up belongs to the user only while the program uses
    // none of its own; once no check uses one, the next check looks afresh.
    if (use_count_ == 0)
        was_up_before_ = false;
}

}  // namespace kivo
