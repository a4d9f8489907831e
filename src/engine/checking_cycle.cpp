#include "engine/checking_cycle.h"

#include "engine/account.h"
#include "engine/engine_host.h"
#include "message/message.h"

namespace kivo {

CheckingCycle::CheckingCycle(EngineHost* host, Classifier classifier)
    : host_(host), classifier_(std::move(classifier))
{
}

bool CheckingCycle::should_delete_marked(Account& account)
{
    switch (account.deletion_mode()) {
    case MSG_DELETION_AUTOMATIC:
        return true;
    case MSG_DELETION_CONFIRM:
        if (account.count_marked() == 0)
            return false;
        // The user may take a while: the check must not time out meanwhile.
        if (account.owner())
            account.owner()->schedule_timeout(account);
        return host_ && host_->confirm_deletion(account);
    default:  // "To not delete" and anything unknown
        return false;
    }
}

bool CheckingCycle::must_delete(Account& account, int /*number*/, Message& message)
{
    std::shared_ptr<Message> old = account.find_by_key(message.key());
    if (!old)
        return false;
    if (!old->deleted()) {
        message.clear_deleted();
        return false;
    }
    message.mark_deleted();
    // A refused DELE keeps the message and its mark for the next check.
    return account.deletion_mode() != MSG_DELETION_NEVER;
}

void CheckingCycle::classify(Account& account, Message& message)
{
    if (classifier_)
        classifier_(account, message);
}

void CheckingCycle::carry_flags_over(Account& account, MessageList& fresh)
{
    for (const auto& message : fresh) {
        std::shared_ptr<Message> old = account.find_by_key(message->key());
        if (!old)
            continue;
        // Only carried over, never cleared here.
        if (old->seen())
            message->set_seen();
        if (old->deleted())
            message->mark_deleted();
    }
}

}  // namespace kivo
