#pragma once
#include <functional>
#include <string>

#include "filter/filter_actions.h"

namespace kivo::app {

// The filter dialogs' "Test" buttons, on the window thread: the same actions
// as an account's, but with nothing to wait for (the mail client is run
// directly, the URL test already runs on the dialog's worker).
class WindowFilterActions : public filter::FilterActions {
public:
    explicit WindowFilterActions(std::function<void()> run_mailer) : run_mailer_(std::move(run_mailer)) {}

    void RunMailer() override;
    void LaunchProgram(const std::string& path) override;
    void PlaySoundFile(const std::string& file) override;
    void SendToUrl(const std::string& url) override;

private:
    std::function<void()> run_mailer_;
};

}  // namespace kivo::app
