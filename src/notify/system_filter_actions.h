#pragma once
#include <string>

#include "filter/filter_actions.h"
#include "notify/http_get.h"

namespace kivo {
class Account;
class HostBridge;
}  // namespace kivo

namespace kivo::notify {

// What a power filter's actions do on Windows, for one account's thread:
// the mail client through the window's bridge (the thread waits for the
// window or for its own stop, never for a sent message), a program or file
// through the shell, a sound played asynchronously, and the message's
// fields sent to a web address over WinINet with short time-outs, given
// up as soon as the account is told to stop.
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

}  // namespace kivo::notify
