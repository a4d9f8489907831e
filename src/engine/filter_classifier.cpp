#include "engine/filter_classifier.h"

#include <memory>

#include "engine/account.h"
#include "filter/collected_actions.h"
#include "filter/email_filter.h"

namespace kivo {

CheckingCycle::Classifier filter_classifier(filter::EmailFilter& filter, filter::FilterActions& actions)
{
    return [&filter, &actions](Account& account, Message& message) {
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
        account.defer_action([collected, &actions, owner] {
            collected->fire(actions, [owner] { return owner->stop_event().is_set(); });
        });
    };
}

}  // namespace kivo
