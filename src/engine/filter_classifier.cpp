#include "engine/filter_classifier.h"

#include <memory>

#include "engine/account.h"
#include "filter/collected_actions.h"
#include "filter/email_filter.h"
#include "filter/filter_actions.h"

namespace kivo {

CheckingCycle::Classifier filter_classifier(filter::EmailFilter& filter, ActionsFor actions_for)
{
    return [&filter, actions_for = std::move(actions_for)](Account& account, Message& message) {
        if (!account.first_seen(message)) {
            filter::NoFilterActions none;
            filter.Classify(message, none);
            return;
        }
        auto collected = std::make_shared<filter::CollectedActions>();
        filter.Classify(message, *collected);
        if (collected->empty())
            return;
        Account* owner = &account;
        account.defer_action([collected, actions_for, owner] {
            std::unique_ptr<filter::FilterActions> actions = actions_for(*owner);
            if (actions)
                collected->fire(*actions, [owner] { return owner->stop_event().is_set(); });
        });
    };
}

CheckingCycle::Classifier filter_classifier(filter::EmailFilter& filter, filter::FilterActions& actions)
{
    // Forwards to the one shared set of actions.
    class Shared : public filter::FilterActions {
    public:
        explicit Shared(filter::FilterActions& actions) : actions_(actions) {}
        void RunMailer() override { actions_.RunMailer(); }
        void LaunchProgram(const std::string& path) override { actions_.LaunchProgram(path); }
        void PlaySoundFile(const std::string& file) override { actions_.PlaySoundFile(file); }
        void SendToUrl(const std::string& url) override { actions_.SendToUrl(url); }
        void FilterMatched(const filter::PowerFilter& filter) override { actions_.FilterMatched(filter); }

    private:
        filter::FilterActions& actions_;
    };
    return filter_classifier(filter, [&actions](Account&) { return std::make_unique<Shared>(actions); });
}

}  // namespace kivo
