#pragma once
#include <functional>
#include <memory>

#include "engine/checking_cycle.h"

namespace kivo {
namespace filter {
class EmailFilter;
class FilterActions;
}  // namespace filter

// The checking cycle's classifier for the user's filters. Marks are set at
// every check. A power filter's actions run once per message: at the check
// where the message is first seen in this run (every message on the server
// at the first check after start-up, then only arrivals), so a matching
// message that stays in the mailbox does not start a program or a request
// again every interval. They are collected during the session, outside of
// which nothing waits on the filter lock, and the account thread fires them
// on `actions` after the session ended. Both references must outlive the
// cycle.
CheckingCycle::Classifier filter_classifier(filter::EmailFilter& filter, filter::FilterActions& actions);

// The same with actions made for the account that fires them (on its own
// thread, after its session): what they do, such as asking the window to run
// the mail client, belongs to that account.
using ActionsFor = std::function<std::unique_ptr<filter::FilterActions>(Account&)>;
CheckingCycle::Classifier filter_classifier(filter::EmailFilter& filter, ActionsFor actions_for);

}  // namespace kivo
