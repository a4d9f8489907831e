#pragma once
#include "engine/host_bridge.h"
#include "filter/filter_actions.h"

namespace kivo {
class Account;
}

namespace kivo::app {

// The filter set has one owner for the actions its power filters fire, but
// they run on the thread of the account being classified, and each must
// reach that account's host. classify() names the account for the length of
// one call on the calling thread.
class AccountFilterActions : public filter::FilterActions {
public:
    explicit AccountFilterActions(HostBridge& bridge) : bridge_(bridge) {}

    class Classifying {
    public:
        explicit Classifying(Account& account);
        ~Classifying();
        Classifying(const Classifying&) = delete;
        Classifying& operator=(const Classifying&) = delete;
    };

    void RunMailer() override;
    void LaunchProgram(const std::string& path) override;
    void PlaySoundFile(const std::string& file) override;
    void SendToUrl(const std::string& url) override;

private:
    HostBridge& bridge_;
};

}  // namespace kivo::app
