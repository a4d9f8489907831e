#pragma once
#include <functional>
#include <string>
#include <vector>

#include "filter/filter_actions.h"

namespace kivo::filter {

// Records the actions a classification asks for instead of running them, so
// that they can run later, outside the filter lock and after the POP3
// session ended (a slow web address or a long sound must hold neither).
class CollectedActions : public FilterActions {
public:
    enum class Kind { run_mailer, launch_program, play_sound, send_to_url };
    struct Action {
        Kind kind;
        std::string text;
        bool operator==(const Action&) const = default;
    };

    void RunMailer() override { actions_.push_back({Kind::run_mailer, {}}); }
    void LaunchProgram(const std::string& path) override { actions_.push_back({Kind::launch_program, path}); }
    void PlaySoundFile(const std::string& file) override { actions_.push_back({Kind::play_sound, file}); }
    void SendToUrl(const std::string& url) override { actions_.push_back({Kind::send_to_url, url}); }

    const std::vector<Action>& actions() const { return actions_; }
    bool empty() const { return actions_.empty(); }

    // Runs the recorded actions on `target` in their order, asking `stopped`
    // before each one; returns how many ran.
    std::size_t fire(FilterActions& target, const std::function<bool()>& stopped) const;

private:
    std::vector<Action> actions_;
};

}  // namespace kivo::filter
