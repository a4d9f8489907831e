#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/dialup.h"

namespace kivo::test {

// A dial-up line as WinINet would report it, counting dials and hang-ups.
// Atomic, since account threads dial while the test reads the counts.
struct FakeModem : platform::DialupApi {
    std::atomic<bool> present{true};
    std::atomic<std::uint32_t> setup{platform::kConnectionRasInstalled | platform::kConnectionModem};
    std::atomic<bool> up{false};
    std::atomic<bool> dial_works{true};
    std::atomic<int> dials{0};
    std::atomic<int> hangups{0};

    bool usable() const override { return present; }
    bool connected_state(std::uint32_t& flags) override
    {
        flags = setup;
        return up;
    }
    bool autodial() override
    {
        ++dials;
        if (dial_works)
            up = true;
        return dial_works;
    }
    bool hangup() override
    {
        ++hangups;
        up = false;
        return true;
    }
};

// No dial-up support at all: every connection is taken as it is.
inline std::unique_ptr<FakeModem> no_modem()
{
    auto modem = std::make_unique<FakeModem>();
    modem->present = false;
    return modem;
}

}  // namespace kivo::test
