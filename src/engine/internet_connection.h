#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/critical_section.h"
#include "platform/dialup.h"
#include "platform/sync.h"

namespace kivo {

enum class ConnectionType { lan, dialup_modem };

// Dials a modem connection around checks when the settings ask for it and
// hangs it up when the last check that needed it is over. Accounts that
// check at the same time share one dialled connection; a connection that
// was up before the program needed it is never hung up by the program.
class InternetConnection {
public:
    using TypeSource = std::function<ConnectionType()>;

    InternetConnection(std::unique_ptr<platform::DialupApi> api, TypeSource type);

    // True when a connection can be used (dialling it if needed).
    bool connect();
    void release();

    int use_count() const;
    bool was_up_before() const;

    // How long to wait for a dialled connection to show up, and how often to
    // look; tests shorten them.
    void set_poll(std::uint32_t interval_ms, std::uint32_t limit_ms);

private:
    bool modem_needed(std::uint32_t flags) const;

    std::unique_ptr<platform::DialupApi> api_;
    TypeSource type_;
    mutable platform::CriticalSection dial_lock_;
    bool was_up_before_ = false;
    int use_count_ = 0;
    std::uint32_t poll_interval_ms_ = 100;
    std::uint32_t poll_limit_ms_ = 60000;
};

}  // namespace kivo
