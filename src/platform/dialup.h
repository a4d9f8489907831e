#pragma once
#include <cstdint>
#include <memory>

namespace kivo::platform {

// The dial-up functions of WinINet, loaded at run time. Flags as WinINet's
// InternetGetConnectedState gives them.
inline constexpr std::uint32_t kConnectionModem = 0x01;
inline constexpr std::uint32_t kConnectionLan = 0x02;
inline constexpr std::uint32_t kConnectionRasInstalled = 0x10;

class DialupApi {
public:
    virtual ~DialupApi() = default;
    // False when the library or one of the three functions is missing.
    virtual bool usable() const = 0;
    // True when a connection is up; flags describe the machine's set-up.
    virtual bool connected_state(std::uint32_t& flags) = 0;
    // Dials the default connection, forcing the system online.
    virtual bool autodial() = 0;
    virtual bool hangup() = 0;
};

// Windows: wininet.dll's InternetGetConnectedState, InternetAutodial and
// InternetAutodialHangup. POSIX: never usable, so the network is assumed.
std::unique_ptr<DialupApi> make_system_dialup();

}  // namespace kivo::platform
