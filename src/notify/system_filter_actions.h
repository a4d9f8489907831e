#pragma once
#include <cstdint>
#include <string>

#include "filter/filter_actions.h"

namespace kivo {
class Account;
class HostBridge;
}  // namespace kivo

namespace kivo::notify {

// What a power filter's actions do on Windows, for one account's thread:
// the mail client through the window's bridge (the thread waits for the
// window or for its own stop, never for a sent message), a program or file
// through the shell, a sound played asynchronously, and the message's
// fields sent to a web address over WinINet with short time-outs.
class SystemFilterActions : public filter::FilterActions {
public:
    SystemFilterActions(HostBridge& bridge, Account& account) : bridge_(bridge), account_(account) {}

    void RunMailer() override;
    void LaunchProgram(const std::string& path) override;
    void PlaySoundFile(const std::string& file) override;
    void SendToUrl(const std::string& url) override;

private:
    HostBridge& bridge_;
    Account& account_;
};

// A web address that does not answer must not hold an account's thread (or
// a dialog's "Test") for WinINet's own minutes.
inline constexpr std::uint32_t kUrlTimeoutMs = 10000;

// One GET of the address, the answer read and dropped; false (and one log
// line) when it could not be made. The user agent is "Kivo Email Checker".
bool http_get(const std::string& url, std::uint32_t timeout_ms = kUrlTimeoutMs);

}  // namespace kivo::notify
